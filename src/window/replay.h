#pragma once

#include <QString>
#include <QStringList>

namespace tovik::window {

class GameWindow;

// Plays a script of player actions into the real window, one per line:
//   click NAME   a left click on that control, delivered as real mouse events
//   move NAME    the pointer moving over that control, or over "Form", the background
//   tick NAME    one tick of HealthTimer, Death, Win or ColorChanger, without waiting for it
// Blank lines and lines starting with # are skipped. Used to put the game into a given state
// for screenshots and bug reports. Returns the problems found, one line each.
QStringList replay(GameWindow& window, const QStringList& lines);

}  // namespace tovik::window
