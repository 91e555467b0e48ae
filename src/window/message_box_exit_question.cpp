#include "window/message_box_exit_question.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QString>

#include "look/qt_text.h"
#include "story/interface_texts.h"
#include "window/lost_window_watch.h"

namespace tovik::window {

std::optional<bool> MessageBoxExitQuestion::ask(std::string_view title, std::string_view text) {
    if (beforeAsking_) {
        beforeAsking_();
    }
    QMessageBox box(QMessageBox::NoIcon, toQString(title), toQString(text),
                    QMessageBox::Yes | QMessageBox::No);
    // The buttons speak the game's language, whatever the desktop's.
    box.button(QMessageBox::Yes)->setText(toQString(story::translated(story::kYesText)));
    box.button(QMessageBox::No)->setText(toQString(story::translated(story::kNoText)));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    // Another X client may destroy, hide or minimize the box (xdotool windowclose or
    // windowunmap, a session tool): Qt would then wait in exec() for ever, with the game window
    // hidden. A box nobody can answer is a No, and the game window comes back.
    LostWindowWatch watch(
        box, [&box] { box.done(QMessageBox::No); }, true);
    QCoreApplication::instance()->installNativeEventFilter(&watch);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace tovik::window
