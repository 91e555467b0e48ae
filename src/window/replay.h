#pragma once

#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <variant>

#include "engine/player_command.h"
#include "engine/random_source.h"

namespace tovik::window {

class GameWindow;

// Who is there to answer the exit question while a replay runs.
enum class ReplayWatcher { Player, Nobody };

// How a replay ended.
enum class ReplayEnd {
    Played,      // every line was read; `problems` may have said some were not played
    Stopped,     // a line was no command: the replay stopped there
    Unreadable,  // the file could not be read to its end (a line too long, a read error)
};

// Plays a script of player actions into the real window, one per line, in the words of the
// headless player: "click NAME" and "move NAME" (or "move Form") arrive as real mouse events,
// "key KEY" as a real key press, "focus NAME" as the control taking the focus, and "tick TIMER"
// fires that timer at once; "*N" after one plays it N times. Blank lines and lines starting with
// # are skipped. A game's record is such a script: its first line names the story and seeds
// the dice (a record of another version or story is refused), its last counts the events. Used
// to put the game into a given state for screenshots and bug reports, or to drive it from a pipe.
//
// The file is read on a thread of its own by the headless player's own CommandReader, and each
// line is played as it arrives, a few milliseconds' worth at a time between the window's own
// events: a script of a million lines, an endless device or a pipe whose writer has not come
// yet never holds up the window, and only a few hundred lines are ever held in memory.
//
// With nobody watching (a screenshot run), "click Quit" is not played, since the exit question
// it opens would wait for ever; "answer" is never played, since the window's question is the
// player's to answer. Both are reported and the replay goes on.
class Replay final : public QObject {
  public:
    // Says one problem, in one line of the file system's bytes.
    using Problem = std::function<void(const std::string&)>;
    using Finished = std::function<void(ReplayEnd)>;

    // The replay of the file at `path`, or why it cannot be opened (in the file system's
    // bytes). Opening never waits, not even for a pipe's writer.
    static std::variant<std::unique_ptr<Replay>, std::string> open(const QString& path);
    ~Replay() override;
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

    // The dice of the window's game, seeded afresh by a record's first line.
    void drawWith(SeededRandom& dice) { dice_ = &dice; }

    // Starts reading and playing into `window`. `finished` is called once, at the end.
    void start(GameWindow& window, ReplayWatcher watcher, Problem problem, Finished finished);

  private:
    struct Entry {
        LineRead read = LineRead::End;
        int number = 0;
        std::string text;
        int error = 0;  // errno of a failed read, at End
    };

    Replay(QString path, int descriptor, int wakeRead, int wakeWrite);
    void readAll();                 // the reading thread
    void playSome();                // on the window's thread
    bool play(const Entry& entry);  // false when the replay ends with this entry
    void finish(ReplayEnd end);
    void stopReading();  // wakes the reading thread and waits for it to end

    QString path_;
    int descriptor_;
    int wakeRead_;  // written to at the end, to wake the reading thread from poll()
    int wakeWrite_;
    GameWindow* window_ = nullptr;
    SeededRandom* dice_ = nullptr;
    bool record_ = false;       // the first line was a record's
    std::uint64_t played_ = 0;  // events played, for a record's end line
    ReplayWatcher watcher_ = ReplayWatcher::Player;
    Problem problem_;
    Finished finished_;
    bool playing_ = false;  // playSome() is on the stack (the exit question runs its own loop)
    bool done_ = false;

    std::mutex mutex_;
    std::condition_variable roomLeft_;
    std::deque<Entry> queue_;  // guarded by mutex_
    bool wakeAsked_ = false;   // guarded by mutex_: a playSome() is on its way
    bool stopping_ = false;    // guarded by mutex_
    std::thread reader_;
};

}  // namespace tovik::window
