#include "window/message_box_exit_question.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QString>

#include "look/qt_text.h"

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
    return box.exec() == QMessageBox::Yes;
}

}  // namespace tovik::window
