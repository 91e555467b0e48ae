#include "window/replay.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>

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

QStringList replay(GameWindow& window, const QStringList& lines) {
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

}  // namespace tovik::window
