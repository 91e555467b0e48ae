#include "window/player_access.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

#include "engine/player_input.h"
#include "look/qt_text.h"
#include "story/interface_texts.h"
#include "window/accessible_controls.h"
#include "window/game_window.h"
#include "window/narrator.h"

namespace tovik::window {

namespace {

// The key as the game names every platform's keys (see keyAction): a letter by the letter it
// types, in the layout that is on.
std::string keyNameOf(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return "Tab";
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return "Enter";
        case Qt::Key_Space:
            return " ";
        case Qt::Key_Escape:
            return "Escape";
        case Qt::Key_1:
            return "1";
        case Qt::Key_2:
            return "2";
        case Qt::Key_3:
            return "3";
        case Qt::Key_4:
            return "4";
        case Qt::Key_5:
            return "5";
        case Qt::Key_F11:
            return "F11";
        default:
            return event.text().toStdString();
    }
}

KeyModifiers modifiersOf(const QKeyEvent& event) {
    const Qt::KeyboardModifiers held = event.modifiers();
    // Qt reports Shift+Tab as Backtab, on some platforms without Shift.
    return {.shift = (held & Qt::ShiftModifier) != 0 || event.key() == Qt::Key_Backtab,
            .control = (held & Qt::ControlModifier) != 0,
            .alt = (held & Qt::AltModifier) != 0,
            .meta = (held & Qt::MetaModifier) != 0};
}

constexpr QRgb kRingColour = 0xFFFF00;
constexpr int kRingGap = 3;  // pixels between a control's box and its ring
constexpr int kAnnouncementShownMs = 5000;

}  // namespace

PlayerAccess::PlayerAccess(GameWindow& window, Game& game, const WindowModel& model)
    : window_(window),
      model_(model),
      keys_(game, model),
      reader_(model, game, keys_, FocusedRename::Ignored) {
    // The announcer is a notification that shows up for a moment whenever there is something
    // to say: it has no pixels of its own and takes no pointer.
    statusLine_ = new QWidget(&window);
    statusLine_->setObjectName(QStringLiteral("StatusLine"));
    statusLine_->setAttribute(Qt::WA_TransparentForMouseEvents);
    statusLine_->setGeometry(0, 0, 1, 1);
    statusLine_->hide();
    announcer_ = new QWidget(statusLine_);
    announcer_->setObjectName(QStringLiteral("Announcer"));
    markAsAnnouncer(statusLine_, announcer_);
    announcer_->setGeometry(0, 0, 1, 1);
    announcer_->hide();
    silence_.setSingleShot(true);
    silence_.setInterval(kAnnouncementShownMs);
    connect(&silence_, &QTimer::timeout, this, [this] {
        announcer_->hide();
        statusLine_->hide();
        reorderChildren();
    });
    narrator_ = std::make_unique<Narrator>(window, [this](const QString& notice) { say(notice); });
}

PlayerAccess::~PlayerAccess() = default;

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
            // Whatever the game made of it: no control acts on a key by itself, and Qt's own
            // focus chain never moves.
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
            return true;
        case QEvent::MouseButtonPress:
            narrator_->interrupt();  // a click moves on, as a key does
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
    const PlayerKey pressed = keyAction(keyNameOf(key), modifiersOf(key), key.isAutoRepeat()).key;
    if (pressed == PlayerKey::Other) {
        return false;
    }
    if (pressed == PlayerKey::Narrator) {
        narrator_->toggle();
        return true;
    }
    // As a screen reader stops at a key, so does the narrator: what the key brings comes next.
    narrator_->interrupt();
    const std::optional<ControlId> focusBefore = keys_.focus();
    if (pressed != PlayerKey::FullScreen) {
        ringShown_ = true;
    }
    // The player has been told the keys once; from now on the window is only named.
    window_.setProperty("tovikKeysHelpTold", true);
    window_.setProperty("tovikQuietReturn", false);
    // A key of the listener's own, or one that does nothing here, is answered in words only.
    if (const std::string answer = reader_.reply(pressed); !answer.empty()) {
        say(toQString(answer));
        return true;
    }
    if (pressed == PlayerKey::Narrator) {
        return true;
    }
    const KeyOutcome outcome = keys_.press(pressed, window_.isFullScreen());
    const bool wasFullScreen = window_.isFullScreen();
    if (outcome == KeyOutcome::ToggleFullScreen) {
        window_.toggleFullScreen();
    } else if (outcome == KeyOutcome::LeaveFullScreen) {
        window_.leaveFullScreen();
    }
    if (window_.isFullScreen() != wasFullScreen) {
        const std::string_view said = story::translated(
            window_.isFullScreen() ? story::kFullScreenOnText : story::kFullScreenOffText);
        say(toQString(said));
        narrator_->read(std::string(said));
    }
    window_.afterEvent();
    applyFocus();
    window_.update();
    // Tab brings a reader onto a control, which it names; the passage has been said already.
    if (keys_.focus() != focusBefore && keys_.focus() && *keys_.focus() != ControlId::Info) {
        narrator_->read(window_.control(*keys_.focus())->accessibleName().toStdString());
    }
    return true;
}

void PlayerAccess::afterEvent() {
    const ReaderUpdate update = reader_.afterEvent();
    updateNames();
    // The passage carries its description in its name (updateNames), so that the focus coming
    // to it reads both.
    if (!update.say.empty()) {
        say(toQString(update.say));
    }
    narrator_->read(update.narrate);
    if (update.focusMoved) {
        applyFocus();
        window_.update();
    }
}

void PlayerAccess::updateNames() {
    bool shownChanged = false;
    for (ControlId id : readingOrder()) {
        QWidget* control = window_.control(id);
        QString name = toQString(accessibleName(id, model_));
        if (id == ControlId::Info && !reader_.passageDescription().empty()) {
            name += QLatin1Char(' ') + toQString(reader_.passageDescription());
        }
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
    statusLine_->show();
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
    if (wanted == &window_ && !model_.isVisible(ControlId::Start)) {
        // The focus leaves the passage for the window (a banner has come up): the reader would
        // name the window again, in the middle of the game it is playing.
        window_.setProperty("tovikQuietReturn", true);
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
