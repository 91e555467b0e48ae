#include "window/player_access.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

#include "look/qt_text.h"
#include "window/accessible_controls.h"
#include "window/game_window.h"

namespace tovik::window {

namespace {

PlayerKey playerKeyOf(const QKeyEvent& event) {
    if ((event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) {
        return PlayerKey::Other;
    }
    switch (event.key()) {
        case Qt::Key_Tab:
            return (event.modifiers() & Qt::ShiftModifier) != 0 ? PlayerKey::BackTab
                                                                : PlayerKey::Tab;
        case Qt::Key_Backtab:
            return PlayerKey::BackTab;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return PlayerKey::Enter;
        case Qt::Key_Space:
            return PlayerKey::Space;
        case Qt::Key_Escape:
            return PlayerKey::Escape;
        case Qt::Key_1:
            return PlayerKey::Digit1;
        case Qt::Key_2:
            return PlayerKey::Digit2;
        case Qt::Key_3:
            return PlayerKey::Digit3;
        case Qt::Key_4:
            return PlayerKey::Digit4;
        case Qt::Key_5:
            return PlayerKey::Digit5;
        case Qt::Key_F11:
            return PlayerKey::FullScreen;
        default:
            return PlayerKey::Other;
    }
}

constexpr QRgb kRingColour = 0xFFFF00;
constexpr int kRingGap = 3;  // pixels between a control's box and its ring
constexpr int kAnnouncementShownMs = 5000;

}  // namespace

PlayerAccess::PlayerAccess(GameWindow& window, Game& game, const WindowModel& model)
    : window_(window),
      game_(game),
      model_(model),
      keys_(game, model),
      heard_(spokenScreenOf(model, game)) {
    // The announcer is a notification that shows up for a moment whenever there is something
    // to say: it has no pixels of its own and takes no pointer.
    announcer_ = new QWidget(&window);
    announcer_->setObjectName(QStringLiteral("Announcer"));
    markAsAnnouncer(announcer_);
    announcer_->setAttribute(Qt::WA_TransparentForMouseEvents);
    announcer_->setGeometry(0, 0, 1, 1);
    announcer_->hide();
    silence_.setSingleShot(true);
    silence_.setInterval(kAnnouncementShownMs);
    connect(&silence_, &QTimer::timeout, this, [this] {
        announcer_->hide();
        reorderChildren();
    });
}

void PlayerAccess::watch(QWidget* widget) {
    widget->installEventFilter(this);
}

QString PlayerAccess::lastAnnouncement() const {
    return announcer_->accessibleName();
}

bool PlayerAccess::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            handleKey(*static_cast<QKeyEvent*>(event));
            return true;  // no control acts on a key by itself
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
            return true;
        case QEvent::MouseButtonPress:
            if (ringShown_) {
                ringShown_ = false;
                window_.update();
            }
            return false;
        case QEvent::FocusIn: {
            // A screen reader or the platform focused a control: the keyboard follows it.
            if (applyingFocus_ || watched == &window_) {
                return false;
            }
            if (const std::optional<ControlId> id =
                    controlNamed(static_cast<QWidget*>(watched)->objectName().toStdString())) {
                keys_.focusOn(*id);
                window_.update();
            }
            return false;
        }
        default:
            return false;
    }
}

bool PlayerAccess::handleKey(const QKeyEvent& key) {
    const PlayerKey pressed = playerKeyOf(key);
    if (pressed == PlayerKey::Other) {
        return false;
    }
    // Holding a key down is one press: only the focus may run on.
    if (key.isAutoRepeat() && pressed != PlayerKey::Tab && pressed != PlayerKey::BackTab) {
        return false;
    }
    if (pressed != PlayerKey::FullScreen) {
        ringShown_ = true;
    }
    const KeyOutcome outcome = keys_.press(pressed, window_.isFullScreen());
    if (outcome == KeyOutcome::ToggleFullScreen) {
        window_.toggleFullScreen();
    } else if (outcome == KeyOutcome::LeaveFullScreen) {
        window_.leaveFullScreen();
    }
    window_.afterEvent();
    applyFocus();
    window_.update();
    return true;
}

void PlayerAccess::afterEvent() {
    const bool moved = keys_.followScreen();
    const SpokenScreen now = spokenScreenOf(model_, game_);
    const Announcement said = announce(heard_, now);
    heard_ = now;
    updateNames();

    if (said.kind == Announcement::Kind::Scene) {
        // The passage is read from where the focus rests: newly focused, a reader reads its
        // name and then its description, how many choices there are; already focused, it
        // reads the new name, and only the count is left to say. Said in full, it would be
        // heard twice.
        const auto split = said.text.rfind('\n');
        const QString count = toQString(said.text.substr(split + 1));
        window_.control(ControlId::Info)->setAccessibleDescription(count);
        if (keys_.focus() != ControlId::Info) {
            say(toQString(said.text));
        } else if (!moved) {
            say(count);
        }
    } else if (said.kind != Announcement::Kind::Nothing) {
        say(toQString(said.text));
    }
    if (moved) {
        applyFocus();
        window_.update();
    }
}

void PlayerAccess::updateNames() {
    bool shownChanged = false;
    for (ControlId id : readingOrder()) {
        QWidget* control = window_.control(id);
        const QString name = toQString(accessibleName(id, model_));
        if (control->accessibleName() != name) {
            control->setAccessibleName(name);
        }
        const bool shown = model_.isVisible(id);
        shownChanged = shownChanged || shown != control->property("tovikShown").toBool();
        control->setProperty("tovikShown", shown);
    }
    if (shownChanged) {
        reorderChildren();  // the window's children are only the controls shown
    }
}

void PlayerAccess::say(const QString& words) {
    announcer_->hide();
    announcer_->setAccessibleName(words);
    announcer_->show();
    reorderChildren();
    // Gone again once read, so that a reader looking round the window does not meet it.
    silence_.start();
}

void PlayerAccess::reorderChildren() {
    if (QAccessible::isActive()) {
        QAccessibleEvent reorder(&window_, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
}

void PlayerAccess::applyFocus() {
    if (model_.state() != WindowState::Shown) {
        return;
    }
    QWidget* wanted = keys_.focus() ? window_.control(*keys_.focus()) : &window_;
    if (wanted->hasFocus() || !wanted->isVisible()) {
        return;
    }
    applyingFocus_ = true;
    wanted->setFocus(Qt::OtherFocusReason);
    applyingFocus_ = false;
}

void PlayerAccess::paintFocusRing(QPainter& painter) const {
    if (!ringShown_ || !keys_.focus()) {
        return;
    }
    const QWidget* control = window_.control(*keys_.focus());
    if (!control->isVisible()) {
        return;
    }
    painter.setPen(QPen(QColor::fromRgb(kRingColour), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(control->geometry().adjusted(-kRingGap, -kRingGap, kRingGap, kRingGap));
}

}  // namespace tovik::window
