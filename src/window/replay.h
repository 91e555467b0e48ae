#pragma once

#include <QString>
#include <QStringList>

#include <variant>

namespace tovik::window {

class GameWindow;

// Who is there to answer the exit question while a replay runs.
enum class ReplayWatcher { Player, Nobody };

// Plays a script of player actions into the real window, one per line, in the words of the
// headless player: "click NAME" and "move NAME" (or "move Form") arrive as real mouse events,
// "tick TIMER" fires that timer at once. Blank lines and lines starting with # are skipped. Used to
// put the game into a given state for screenshots and bug reports. Returns the problems found, one
// line each. With nobody watching (a screenshot run), "click Quit" is such a problem and is not
// played: the exit question it opens would wait for ever.
QStringList replay(GameWindow& window, const QStringList& lines,
                   ReplayWatcher watcher = ReplayWatcher::Player);

// The lines of a replay file, or why it cannot be read: a file that cannot be opened, or a line
// too long to be a command (a file of zeros, a picture given by mistake).
std::variant<QStringList, QString> readReplayFile(const QString& path);

}  // namespace tovik::window
