#pragma once

#include <QString>
#include <QStringList>

namespace tovik::window {

class GameWindow;

// Plays a script of player actions into the real window, one per line, in the words of the
// headless player: "click NAME" and "move NAME" (or "move Form") arrive as real mouse events,
// "tick TIMER" fires that timer at once. Blank lines and lines starting with # are skipped. Used to
// put the game into a given state for screenshots and bug reports. Returns the problems found, one
// line each.
QStringList replay(GameWindow& window, const QStringList& lines);

}  // namespace tovik::window
