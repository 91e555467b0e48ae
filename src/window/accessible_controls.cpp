#include "window/accessible_controls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QMessageBox>
#include <QWidget>

#include "engine/spoken_screen.h"
#include "look/qt_text.h"
#include "story/interface_texts.h"
#include "window/game_window.h"

namespace tovik::window {

namespace {

constexpr const char* kAnnouncerProperty = "tovikAnnouncer";
constexpr const char* kStatusLineProperty = "tovikStatusLine";

GameWindow* windowOf(QWidget* widget) {
    return qobject_cast<GameWindow*>(widget->parentWidget());
}

// The window itself: its children are the controls shown now, in reading order, and the
// announcer while it speaks. A hidden control is not there at all.
class StageAccessible final : public QAccessibleWidget {
  public:
    // A client area rather than a frame: a reader names a frame with a role word («рамка»)
    // each time it comes up, where the game's name says all there is to say.
    explicit StageAccessible(GameWindow* window) : QAccessibleWidget(window, QAccessible::Client) {}

    // The title bar keeps the form's own name; a reader hears the game's.
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            // Coming back from the exit question answered «Нет», or taking the focus from the
            // passage when a banner comes up, the window is nameless until the next key: a
            // reader names a window each time it comes up or takes the focus, and the player,
            // in the middle of the game, wants only the game.
            if (widget()->property("tovikQuietReturn").toBool()) {
                return {};
            }
            return toQString(story::translated(story::kGameTitleText));  // in the language played
        }
        if (kind == QAccessible::Description) {
            // Read with the window's name, until the player has pressed a key: after that, the
            // window coming back (from the exit question) is only named, and the keys help
            // stays one key away (the passage key on the title screen).
            if (widget()->property("tovikKeysHelpTold").toBool()) {
                return {};
            }
            return toQString(story::translated(story::kKeysHelpText));
        }
        return QAccessibleWidget::text(kind);
    }

    int childCount() const override { return static_cast<int>(shown().size()); }
    QAccessibleInterface* child(int index) const override {
        const std::vector<QWidget*> children = shown();
        if (index < 0 || index >= static_cast<int>(children.size())) {
            return nullptr;
        }
        return QAccessible::queryAccessibleInterface(children[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<QWidget*> children = shown();
        const auto found = std::find(children.begin(), children.end(), child->object());
        return found == children.end() ? -1 : static_cast<int>(found - children.begin());
    }

  private:
    std::vector<QWidget*> shown() const {
        auto* window = static_cast<GameWindow*>(widget());
        std::vector<QWidget*> children;
        for (ControlId id : readingOrder()) {
            QWidget* control = window->control(id);
            // An empty label (the fight's status between fights) shows nothing to read.
            if (control != nullptr && control->isVisibleTo(window) &&
                !(accessibleRole(id) == AccessibleRole::Text &&
                  control->accessibleName().isEmpty())) {
                children.push_back(control);
            }
        }
        for (QObject* object : window->children()) {
            auto* statusLine = qobject_cast<QWidget*>(object);
            if (statusLine != nullptr && statusLine->property(kStatusLineProperty).toBool() &&
                statusLine->isVisibleTo(window)) {
                children.push_back(statusLine);
            }
        }
        return children;
    }
};

// A label or picture that takes a click, read as a button; its name is set by the window.
class ClickableAccessible final : public QAccessibleWidget {
  public:
    ClickableAccessible(QWidget* widget, ControlId id)
        : QAccessibleWidget(widget, QAccessible::Button), id_(id) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.focusable = true;
        return state;
    }
    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& action) override {
        GameWindow* window = windowOf(widget());
        if (window == nullptr) {
            return;
        }
        if (action == pressAction()) {
            window->clickControl(id_);
        } else if (action == setFocusAction()) {
            widget()->setFocus(Qt::OtherFocusReason);
        }
    }
    // No key of its own to read out after its name: Enter and Space press whatever has the
    // focus.
    QStringList keyBindingsForAction(const QString& /*action*/) const override { return {}; }

  private:
    ControlId id_;
};

// Speaks by being shown with a new name: a screen reader reads a notification as it appears,
// and one in a status line without calling it a notification.
class AnnouncerAccessible final : public QAccessibleWidget {
  public:
    explicit AnnouncerAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Notification) {}
};

// The passage is read as what it says, with no role after it: not as a label, not as a button.
class PassageAccessible final : public QAccessibleWidget {
  public:
    explicit PassageAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Client) {}
};

QAccessibleInterface* accessibleFactory(const QString& /*className*/, QObject* object) {
    if (auto* window = qobject_cast<GameWindow*>(object)) {
        return new StageAccessible(window);
    }
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    // The exit question is a question, not an alarm: a dialog, which a reader names without
    // calling it an alert («тревога»).
    if (qobject_cast<QMessageBox*>(widget) != nullptr) {
        return new QAccessibleWidget(widget, QAccessible::Dialog);
    }
    if (widget->property(kAnnouncerProperty).toBool()) {
        return new AnnouncerAccessible(widget);
    }
    if (widget->property(kStatusLineProperty).toBool()) {
        return new QAccessibleWidget(widget, QAccessible::StatusBar);
    }
    // The window names every control after its role in the game.
    const std::optional<ControlId> id = controlNamed(widget->objectName().toStdString());
    if (id == ControlId::Info && windowOf(widget) != nullptr) {
        return new PassageAccessible(widget);
    }
    if (id && windowOf(widget) != nullptr && qobject_cast<QLabel*>(widget) != nullptr &&
        accessibleRole(*id) == AccessibleRole::Button) {
        return new ClickableAccessible(widget, *id);
    }
    return nullptr;  // Qt's own: a label is text, a picture a graphic, Атака! a push button
}

}  // namespace

void installAccessibleControls() {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    (void)installed;
}

void markAsAnnouncer(QWidget* statusLine, QWidget* announcer) {
    statusLine->setProperty(kStatusLineProperty, true);
    announcer->setProperty(kAnnouncerProperty, true);
}

}  // namespace tovik::window
