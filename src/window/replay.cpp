#include "window/replay.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "engine/player_command.h"
#include "window/game_window.h"

namespace tovik::window {

namespace {

void send(QWidget* target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
    const QPointF local = QRectF(target->rect()).center();
    QMouseEvent event(type, local, target->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

}  // namespace

QStringList replay(GameWindow& window, const QStringList& lines, ReplayWatcher watcher) {
    QStringList problems;
    int number = 0;
    for (const QString& line : lines) {
        ++number;
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith('#')) {
            continue;
        }
        const auto parsed = parsePlayerCommand(trimmed.toStdString());
        if (const auto* why = std::get_if<std::string>(&parsed)) {
            problems << QStringLiteral("line %1: %2").arg(number).arg(QString::fromStdString(*why));
            continue;
        }
        const PlayerCommand& command = std::get<PlayerCommand>(parsed);
        // Clicks and moves arrive as real mouse events, so they take the window's own way.
        QWidget* target = command.control ? window.control(*command.control) : &window;
        switch (command.verb) {
            case Verb::Click:
                if (command.control == ControlId::Quit && watcher == ReplayWatcher::Nobody) {
                    problems << QStringLiteral(
                                    "line %1: click Quit opens the exit question, which nobody "
                                    "answers while a screenshot is taken; not played")
                                    .arg(number);
                    break;
                }
                if (auto* button = qobject_cast<QPushButton*>(target)) {
                    button->click();
                } else if (target && target != &window) {
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
                window.tickNow(*command.control);
                break;
            case Verb::Answer:
                // The window asks with a modal box, which a replay cannot answer.
                problems << QStringLiteral(
                                "line %1: the window's exit question is answered by "
                                "the player, not by a replay")
                                .arg(number);
                break;
        }
    }
    return problems;
}

std::variant<QStringList, QString> readReplayFile(const QString& path) {
    // The name's own bytes, so that a file in any folder opens.
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    if (!in) {
        return QStringLiteral("cannot read %1: %2")
            .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
    QStringList lines;
    std::string line;
    for (int number = 1;; ++number) {
        const LineRead read = readCommandLine(in, line);
        if (read == LineRead::End) {
            break;
        }
        if (read == LineRead::TooLong) {
            return path + ": " + QString::fromStdString(tooLongLineMessage(number));
        }
        lines << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    }
    if (in.bad()) {
        return QStringLiteral("cannot read %1: %2")
            .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
    return lines;
}

}  // namespace tovik::window
