#include "window/message_box_exit_question.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QString>

#include "window/lost_window_watch.h"
#include "window/qt_text.h"

namespace tovik::window {

std::optional<bool> MessageBoxExitQuestion::ask(std::string_view title, std::string_view text) {
    if (beforeAsking_) {
        beforeAsking_();
    }
    QMessageBox box(QMessageBox::NoIcon, toQString(title), toQString(text),
                    QMessageBox::Yes | QMessageBox::No);
    // The game speaks Russian, so do its buttons.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    // Another X client may destroy the box (xdotool windowclose, a session tool): Qt would then
    // wait in exec() for ever, with the game window hidden. A box nobody can answer is a No.
    LostWindowWatch watch(box, [&box] { box.done(QMessageBox::No); });
    QCoreApplication::instance()->installNativeEventFilter(&watch);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace tovik::window
