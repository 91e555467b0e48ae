#include "window/replay.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <istream>
#include <streambuf>
#include <string_view>

#include "engine/command_line.h"
#include "engine/game_record.h"
#include "window/game_window.h"

namespace tovik::window {

namespace {

// Lines read ahead of the one being played: enough to keep the window busy between two wakes
// of the reading thread, few enough that a huge script costs no memory.
constexpr std::size_t kLinesAhead = 256;
// How long the window plays lines before it lets its own events through.
constexpr qint64 kSliceMs = 8;

void send(QWidget* target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
    const QPointF local = QRectF(target->rect()).center();
    QMouseEvent event(type, local, target->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// The key a record names, as the window's keyboard delivers it.
void sendKey(QWidget* target, PlayerKey key) {
    using enum PlayerKey;
    Qt::Key code = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    switch (key) {
        case Tab:
            code = Qt::Key_Tab;
            break;
        case BackTab:
            code = Qt::Key_Backtab;
            modifiers = Qt::ShiftModifier;
            break;
        case Enter:
            code = Qt::Key_Return;
            break;
        case Space:
            code = Qt::Key_Space;
            break;
        case Escape:
            code = Qt::Key_Escape;
            break;
        case Digit1:
        case Digit2:
        case Digit3:
        case Digit4:
        case Digit5:
            code = static_cast<Qt::Key>(Qt::Key_1 +
                                        (static_cast<int>(key) - static_cast<int>(Digit1)));
            break;
        case FullScreen:
        case Life:  // a listener's keys are answered in words and never written in a record
        case Items:
        case Passage:
        case Choices:
        case Narrator:
        case Other:
            return;
    }
    QKeyEvent event(QEvent::KeyPress, code, modifiers);
    QApplication::sendEvent(target, &event);
}

// A file descriptor as a stream that can be abandoned: every read first waits in poll() for the
// file or for the wake descriptor, and a word on the wake descriptor ends the stream at once,
// even while a pipe's writer keeps silent.
class WakeableBuffer final : public std::streambuf {
  public:
    WakeableBuffer(int descriptor, int wake) : descriptor_(descriptor), wake_(wake) {}

    int error() const { return error_; }
    bool woken() const { return woken_; }

  protected:
    int_type underflow() override {
        while (!woken_ && error_ == 0) {
            std::array<pollfd, 2> waits{{{descriptor_, POLLIN, 0}, {wake_, POLLIN, 0}}};
            if (::poll(waits.data(), waits.size(), -1) < 0) {
                if (errno != EINTR) {
                    error_ = errno;
                }
                continue;
            }
            if (waits[1].revents != 0) {
                woken_ = true;
                break;
            }
            const ssize_t got = ::read(descriptor_, bytes_.data(), bytes_.size());
            if (got > 0) {
                setg(bytes_.data(), bytes_.data(), bytes_.data() + got);
                return traits_type::to_int_type(bytes_[0]);
            }
            if (got == 0) {
                break;  // the end of the file, or the pipe's last writer has gone
            }
            if (errno != EAGAIN && errno != EINTR) {
                error_ = errno;
            }
        }
        return traits_type::eof();
    }

  private:
    int descriptor_;
    int wake_;
    int error_ = 0;
    bool woken_ = false;
    std::array<char, 64 * 1024> bytes_{};
};

// The path as its own bytes, fit for a one-line message.
std::string shown(const QString& path) {
    return printable(QFile::encodeName(path).toStdString());
}

std::string_view trimmed(std::string_view line) {
    constexpr std::string_view kBlanks = " \t\r";
    const std::size_t start = line.find_first_not_of(kBlanks);
    if (start == std::string_view::npos) {
        return {};
    }
    return line.substr(start, line.find_last_not_of(kBlanks) - start + 1);
}

}  // namespace

std::variant<std::unique_ptr<Replay>, std::string> Replay::open(const QString& path) {
    // Without O_NONBLOCK, opening a pipe waits for its writer, and the window with it.
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return "cannot read " + shown(path) + ": " + std::strerror(errno);
    }
    std::array<int, 2> wake{};
    if (::pipe2(wake.data(), O_CLOEXEC) != 0) {
        const int error = errno;
        ::close(descriptor);
        return "cannot read " + shown(path) + ": " + std::strerror(error);
    }
    return std::unique_ptr<Replay>(new Replay(path, descriptor, wake[0], wake[1]));
}

Replay::Replay(QString path, int descriptor, int wakeRead, int wakeWrite)
    : path_(std::move(path)), descriptor_(descriptor), wakeRead_(wakeRead), wakeWrite_(wakeWrite) {}

Replay::~Replay() {
    stopReading();
    ::close(descriptor_);
    ::close(wakeRead_);
    ::close(wakeWrite_);
}

void Replay::start(GameWindow& window, ReplayWatcher watcher, Problem problem, Finished finished) {
    window_ = &window;
    watcher_ = watcher;
    problem_ = std::move(problem);
    finished_ = std::move(finished);
    reader_ = std::thread([this] { readAll(); });
}

void Replay::stopReading() {
    {
        const std::lock_guard lock(mutex_);
        if (stopping_) {
            return;
        }
        stopping_ = true;
    }
    roomLeft_.notify_all();
    const char word = 0;
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &word, 1);
    if (reader_.joinable()) {
        reader_.join();
    }
}

void Replay::readAll() {
    WakeableBuffer buffer(descriptor_, wakeRead_);
    std::istream in(&buffer);
    CommandReader reader(in);
    while (true) {
        Entry entry;
        entry.read = reader.next(entry.text);
        entry.number = reader.lineNumber();
        if (buffer.woken()) {
            return;
        }
        entry.error = entry.read == LineRead::End ? buffer.error() : 0;
        const bool last = entry.read != LineRead::Line;
        std::unique_lock lock(mutex_);
        roomLeft_.wait(lock, [this] { return stopping_ || queue_.size() < kLinesAhead; });
        if (stopping_) {
            return;
        }
        queue_.push_back(std::move(entry));
        if (!std::exchange(wakeAsked_, true)) {
            QMetaObject::invokeMethod(
                this, [this] { playSome(); }, Qt::QueuedConnection);
        }
        if (last) {
            return;
        }
    }
}

void Replay::playSome() {
    // The exit question runs an event loop of its own inside a click: this is then called
    // again from within the line being played, and leaves the rest to the outer call.
    if (playing_ || done_) {
        return;
    }
    playing_ = true;
    QElapsedTimer slice;
    slice.start();
    while (!done_) {
        Entry entry;
        {
            const std::lock_guard lock(mutex_);
            if (queue_.empty()) {
                wakeAsked_ = false;
                break;
            }
            entry = std::move(queue_.front());
            queue_.pop_front();
        }
        roomLeft_.notify_one();
        if (!play(entry)) {
            break;
        }
        if (slice.elapsed() >= kSliceMs) {
            QTimer::singleShot(0, this, [this] { playSome(); });  // wakeAsked_ stays set
            break;
        }
    }
    playing_ = false;
}

bool Replay::play(const Entry& entry) {
    const auto say = [this, &entry](const std::string& what) {
        problem_("line " + std::to_string(entry.number) + ": " + what);
    };
    switch (entry.read) {
        case LineRead::End:
            if (entry.error != 0) {
                problem_("cannot read " + shown(path_) + ": " + std::strerror(entry.error));
                finish(ReplayEnd::Unreadable);
            } else {
                finish(ReplayEnd::Played);
            }
            return false;
        case LineRead::TooLong:
            problem_(shown(path_) + ": " + tooLongLineMessage(entry.number));
            finish(ReplayEnd::Unreadable);
            return false;
        case LineRead::Line:
            break;
    }
    if (window_->model().state() == WindowState::Unloaded) {
        finish(ReplayEnd::Played);  // the player has left; nothing more can be played
        return false;
    }
    const std::string_view line = trimmed(entry.text);
    if (line.empty() || line.starts_with('#')) {
        return true;
    }
    if (line.starts_with(kRecordMagic)) {
        const auto seed = readRecordFirstLine(line);
        const auto* why = std::get_if<std::string>(&seed);
        if (why || entry.number != 1) {
            say((why ? *why : std::string("a record's first line comes first")) +
                "; the replay stops here");
            finish(ReplayEnd::Stopped);
            return false;
        }
        record_ = true;
        if (dice_) {
            *dice_ = SeededRandom(std::get<std::uint64_t>(seed));
        }
        return true;
    }
    if (record_ && line.starts_with(kRecordEnd)) {
        if (line.substr(kRecordEnd.size()) != std::to_string(played_)) {
            say("the record's end line does not count its " + std::to_string(played_) +
                " events: it is damaged");
        }
        return true;
    }
    const auto parsed = parsePlayerCommand(line);
    if (const auto* why = std::get_if<std::string>(&parsed)) {
        // What follows a mistake was written for a game that is not the one on screen.
        say(*why + "; the replay stops here");
        finish(ReplayEnd::Stopped);
        return false;
    }
    const PlayerCommand& command = std::get<PlayerCommand>(parsed);
    played_ += command.times;
    // Clicks, moves, keys and the focus arrive as real events, so they take the window's own way.
    QWidget* target = command.control ? window_->control(*command.control) : window_;
    for (std::uint32_t time = 0; time < command.times && !done_; ++time) {
        switch (command.verb) {
            case Verb::Click:
                if (command.control == ControlId::Quit && watcher_ == ReplayWatcher::Nobody) {
                    say("click Quit opens the exit question, which nobody answers while a "
                        "screenshot is taken; not played");
                    break;
                }
                if (auto* button = qobject_cast<QPushButton*>(target)) {
                    button->click();
                } else if (target && target != window_) {
                    send(target, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
                    send(target, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
                }
                break;
            case Verb::Move:
                if (target) {
                    send(target, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
                }
                break;
            case Verb::Tick:
                window_->tickNow(*command.control);
                break;
            case Verb::Key:
                if (command.key == PlayerKey::Escape && watcher_ == ReplayWatcher::Nobody) {
                    say("key Escape opens the exit question, which nobody answers while a "
                        "screenshot is taken; not played");
                    break;
                }
                sendKey(window_, command.key);
                break;
            case Verb::Focus:
                if (target) {
                    QFocusEvent focus(QEvent::FocusIn, Qt::OtherFocusReason);
                    QApplication::sendEvent(target, &focus);
                }
                break;
            case Verb::Answer:
                // The window asks with a modal box, which a replay cannot answer.
                say("the window's exit question is answered by the player, not by a replay");
                break;
        }
        if (window_->model().state() == WindowState::Unloaded) {
            break;
        }
    }
    return !done_;
}

void Replay::finish(ReplayEnd end) {
    if (std::exchange(done_, true)) {
        return;
    }
    stopReading();  // an endless file is read no further
    if (finished_) {
        finished_(end);
    }
}

}  // namespace tovik::window
