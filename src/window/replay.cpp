#include "window/replay.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>

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
    for (const QString& raw : lines) {
        ++number;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        const QStringList words = line.split(' ', Qt::SkipEmptyParts);
        const std::string name = words.value(1).toStdString();
        const std::optional<ControlId> id = controlNamed(name);
        const QString where = QStringLiteral("line %1: ").arg(number);
        if (words.size() != 2 || (!id && !(words[0] == "move" && name == "Form"))) {
            problems << where + "expected 'click NAME', 'move NAME' or 'tick NAME': " + line;
            continue;
        }
        if (words[0] == "click" && id) {
            QWidget* target = window.control(*id);
            if (auto* button = qobject_cast<QPushButton*>(target)) {
                button->click();
            } else if (target) {
                send(target, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
                send(target, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
            }
        } else if (words[0] == "move") {
            QWidget* target = id ? window.control(*id) : &window;
            send(target ? target : &window, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
        } else if (words[0] == "tick" && id && kindOf(*id) == ControlKind::Timer) {
            window.tickNow(*id);
        } else {
            problems << where + "cannot do this: " + line;
        }
    }
    return problems;
}

}  // namespace tovik::window
