#include "window/game_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <utility>

#include "engine/player_input.h"
#include "form/control_layout.h"
#include "look/control_look.h"
#include "look/game_font.h"
#include "look/qt_text.h"
#include "story/language.h"
#include "window/accessible_controls.h"
#include "window/narrator.h"
#include "window/player_access.h"
#include "window/stage_scale.h"

namespace tovik::window {

namespace {

QColor colour(Colour rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

QRect pixelsOf(const ControlLayout& layout) {
    const PixelRect rect = pixelRectOf(layout);
    return {rect.left, rect.top, rect.width, rect.height};
}

}  // namespace

GameWindow::GameWindow(sound::AudioOutput& audio, RandomSource& random, ExitQuestion* exitQuestion,
                       std::string applicationDirectory, QWidget* parent)
    : QWidget(parent), messageBox_([this] { render(); }) {
    installAccessibleControls();
    game_ =
        std::make_unique<Game>(model_, audio, random, exitQuestion ? *exitQuestion : messageBox_,
                               std::move(applicationDirectory));
    setWindowTitle(toQString(kWindowTitle));
    setWindowIcon(QIcon(QPixmap(":/pictures/icon.bmp")));
    setFixedSize(kClientWidthPixels, kClientHeightPixels);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, colour(kFormBackColour));
    setPalette(background);
    setMouseTracking(true);

    buildControls();
    buildTimers();
    access_ = std::make_unique<PlayerAccess>(*this, *game_, model_);
    access_->watch(this);
    for (QWidget* widget : widgets_) {
        if (widget != nullptr) {
            access_->watch(widget);
        }
    }
    game_->load();
    render();
    access_->afterEvent();  // the names of the title screen
}

GameWindow::~GameWindow() {
    // Keys and focus stop being watched before the controls go.
    access_.reset();
}

void GameWindow::buildControls() {
    for (ControlId id : allControls()) {
        const ControlLayout& layout = layoutOf(id);
        const ControlLook& look = lookOf(id);
        QWidget* widget = nullptr;
        switch (kindOf(id)) {
            case ControlKind::Label: {
                auto* label = new QLabel(this);
                label->setTextFormat(Qt::PlainText);  // a caption is text, never markup
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                label->setMargin(0);
                label->setIndent(0);
                label->setFont(gameFont(look.fontPixels));
                label->setWordWrap(!look.autoSize);
                label->setAutoFillBackground(true);
                widget = label;
                break;
            }
            case ControlKind::Button: {
                auto* button = new QPushButton(this);
                button->setFont(gameFont(kButtonFontPixels));
                button->setFocusPolicy(Qt::NoFocus);
                connect(button, &QPushButton::clicked, this, [this, id] {
                    game_->click(id);
                    afterEvent();
                });
                widget = button;
                break;
            }
            case ControlKind::Picture: {
                // The bitmap is read when the picture is first shown (render), so the title
                // screen does not wait for the items' pictures.
                auto* picture = new QLabel(this);
                picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                picture->setScaledContents(false);
                widget = picture;
                break;
            }
            case ControlKind::Timer:
                continue;
        }
        widget->setObjectName(toQString(nameOf(id)));
        widget->setGeometry(pixelsOf(layout));
        widget->setMouseTracking(true);
        if (hasClickHandler(id) && kindOf(id) != ControlKind::Button) {
            widget->setCursor(Qt::PointingHandCursor);  // a hidden control shows no cursor
        }
        widget->installEventFilter(this);
        widgets_[indexOf(id)] = widget;
    }
}

void GameWindow::buildTimers() {
    for (ControlId id : allControls()) {
        if (kindOf(id) != ControlKind::Timer) {
            continue;
        }
        auto* timer = new QTimer(this);
        timer->setObjectName(toQString(nameOf(id)));
        timer->setInterval(layoutOf(id).intervalMs);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, id] { tickNow(id); });
        timers_[indexOf(id)] = timer;
    }
}

void GameWindow::tickNow(ControlId timer) {
    game_->tick(timer);
    afterEvent();
}

void GameWindow::clickControl(ControlId id) {
    game_->click(id);
    afterEvent();
}

void GameWindow::toggleFullScreen() {
    if (isFullScreen()) {
        leaveFullScreen();
        return;
    }
    // Qt's own idea of the window's place goes with the full screen: the window manager is
    // asked to put the window back where it was, with its frame, from this.
    normalPlace_ = geometry();
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    showFullScreen();
}

void GameWindow::leaveFullScreen() {
    if (!isFullScreen()) {
        return;
    }
    showNormal();
    setFixedSize(kClientWidthPixels, kClientHeightPixels);
    if (normalPlace_.isValid()) {
        setGeometry(normalPlace_);
    }
}

void GameWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The controls are built at the design size; only a new scale needs them placed again.
    const StageFit fit = fitStage(size());
    if (fit != stageFit_) {
        stageFit_ = fit;
        placeControls(*this, fit);
        update();
    }
    if (access_) {
        access_->narrator().place();  // its switch keeps to the window's corner
    }
}

void GameWindow::stopTimers() {
    timersStopped_ = true;
    render();
}

QWidget* GameWindow::control(ControlId id) const {
    return widgets_[indexOf(id)];
}

QTimer* GameWindow::timer(ControlId id) const {
    return timers_[indexOf(id)];
}

bool GameWindow::eventFilter(QObject* watched, QEvent* event) {
    const auto found = std::find(widgets_.begin(), widgets_.end(), watched);
    if (found == widgets_.end()) {
        return QWidget::eventFilter(watched, event);
    }
    const auto id = static_cast<ControlId>(found - widgets_.begin());
    switch (event->type()) {
        case QEvent::MouseMove:
            // Every control takes its own moves: one without a move handler must not pass
            // them on to the window's background.
            game_->pointerMovedOver(id);
            afterEvent();
            return true;
        case QEvent::MouseButtonPress:
            pressIsDoubleClick_ = false;  // every press starts a click of its own
            return kindOf(id) != ControlKind::Button;
        case QEvent::MouseButtonDblClick:
            if (kindOf(id) == ControlKind::Button) {
                return false;  // the button raises its own clicks
            }
            // Qt reports the second press of a pair as an event of its own, not as a count.
            pressIsDoubleClick_ = true;
            return true;
        case QEvent::MouseButtonRelease: {
            if (kindOf(id) == ControlKind::Button) {
                return false;  // the button raises its own click
            }
            if (!clickReachesGame(id, std::exchange(pressIsDoubleClick_, false) ? 2 : 1)) {
                return true;
            }
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint())) {
                game_->click(id);
                afterEvent();
            }
            return true;
        }
        default:
            return QWidget::eventFilter(watched, event);
    }
}

void GameWindow::mousePressEvent(QMouseEvent* event) {
    pressIsDoubleClick_ = false;  // a press on the background ends any double click too
    event->accept();
}

void GameWindow::mouseMoveEvent(QMouseEvent* event) {
    game_->pointerMovedOver(std::nullopt);
    afterEvent();
    event->accept();
}

void GameWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter painter(this);
    access_->paintFocusRing(painter);
    if (firstPaint_) {
        // After this paint's children are drawn too.
        QTimer::singleShot(0, this, std::exchange(firstPaint_, nullptr));
    }
}

void GameWindow::closeEvent(QCloseEvent* event) {
    // Closing through the window's own frame leaves without asking.
    if (model_.state() != WindowState::Unloaded) {
        game_->unload();
    }
    afterEvent();
    event->accept();
}

void GameWindow::afterEvent() {
    render();  // an unloaded window's timers stop here
    if (model_.state() != WindowState::Unloaded) {
        access_->afterEvent();
    }
    if (model_.state() == WindowState::Unloaded && !unloadedSignalled_) {
        unloadedSignalled_ = true;
        close();
        emit unloaded();
    }
}

void GameWindow::render() {
    for (ControlId id : allControls()) {
        switch (kindOf(id)) {
            case ControlKind::Label:
                renderLabel(id);
                break;
            case ControlKind::Button:
                static_cast<QPushButton*>(control(id))->setText(toQString(model_.caption(id)));
                control(id)->setVisible(model_.isVisible(id));
                break;
            case ControlKind::Picture:
                if (model_.isVisible(id)) {
                    showPicture(id);
                }
                control(id)->setVisible(model_.isVisible(id));
                break;
            case ControlKind::Timer: {
                QTimer* qtimer = timer(id);
                const bool enabled = game_->timerRuns(id) && !timersStopped_;
                if (enabled && !qtimer->isActive()) {
                    qtimer->start();
                } else if (!enabled && qtimer->isActive()) {
                    qtimer->stop();
                }
                break;
            }
        }
    }
    if (model_.state() == WindowState::Hidden && isVisible()) {
        hide();
    } else if (model_.state() == WindowState::Shown && isHidden() &&
               testAttribute(Qt::WA_WState_ExplicitShowHide)) {
        setProperty("tovikQuietReturn", true);  // see the window's accessible name
        show();                                 // the exit question was answered No
    }
}

void GameWindow::showPicture(ControlId id) {
    auto* picture = static_cast<QLabel*>(control(id));
    if (picture->pixmap().isNull()) {
        picture->setPixmap(
            QPixmap(":/pictures/" + toQString(story::localisedPicture(lookOf(id).picture))));
    }
}

void GameWindow::renderLabel(ControlId id) {
    auto* label = static_cast<QLabel*>(control(id));
    const ControlLook& look = lookOf(id);
    const QString caption = toQString(model_.caption(id));
    if (label->text() != caption) {
        label->setText(caption);
        if (look.autoSize) {
            // An auto-sized label grows to the right and downward on one line.
            const QFontMetrics metrics(label->font());
            label->resize(metrics.horizontalAdvance(caption), metrics.height());
        }
    }
    QPalette palette = label->palette();
    const QColor wanted = colour(model_.textColour(id));
    if (palette.color(QPalette::WindowText) != wanted ||
        palette.color(QPalette::Window) != colour(look.backColour)) {
        palette.setColor(QPalette::WindowText, wanted);
        palette.setColor(QPalette::Window, colour(look.backColour));
        label->setPalette(palette);
    }
    label->setVisible(model_.isVisible(id));
}

void GameWindow::centreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

}  // namespace tovik::window
