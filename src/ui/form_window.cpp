// SPDX-License-Identifier: MIT
#include "ui/form_window.h"

#include "ui/announcer.h"
#include "ui/control_accessibility.h"
#include "ui/drag_outline.h"
#include "ui/key_times.h"
#include "ui/label_widget.h"
#include "ui/lesson_aids.h"
#include "ui/picture_area_widget.h"
#include "ui/push_button_widget.h"
#include "ui/qt_conversions.h"
#include "ui/scene_images.h"

#include "reaction/lesson_texts.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace velmora {
namespace {

QRect toQRect(const PixelRect& r) { return {r.x, r.y, r.width, r.height}; }

// The lesson's name for a Qt key.
Key lessonKey(int key) {
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return Key::Tab;
    case Qt::Key_Space: return Key::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::Enter;
    case Qt::Key_Escape: return Key::Escape;
    case Qt::Key_Left: return Key::Left;
    case Qt::Key_Right: return Key::Right;
    case Qt::Key_Up: return Key::Up;
    case Qt::Key_Down: return Key::Down;
    case FormWindow::kWhereAmIKey: return Key::WhereAmI;
    default: return Key::Other;
    }
}

// The focus comes back, or goes, with the window's activation; the pupil did not move it.
bool followsActivation(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

FormWindow::FormWindow(Language language, const SceneImages& images, QWidget* parent)
    : QWidget(parent), session_(std::move(language), [this](const Control& control) {
          QWidget* widget = controlWidget(control.name());
          if (widget == nullptr) return kStatusFail;
          widget->setVisible(control.visible());
          return kStatusOk;
      }) {
    installControlAccessibility();
    const FormDescription& form = session_.form().description();
    setWindowTitle(QString::fromStdString(form.caption));
    setObjectName(QString::fromStdString(form.name));
    QPalette background = palette();
    background.setColor(QPalette::Window, toQColor(form.backColor));
    setPalette(background);
    setAutoFillBackground(true);
    const PixelRect client = clientRectOf(form);
    resize(client.width, client.height);

    announcer_ = new Announcer(this);
    aids_ = new LessonAids(session_.language(), this);
    createControls(images);
    const std::vector<const Control*> order = session_.tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(controlWidget(order[i - 1]->name()), controlWidget(order[i]->name()));
    setUpAccessibility();
    outline_ = std::make_unique<DragOutline>(this);
    installEventFilter(this);
    watchKeyTimes();
}

FormWindow::~FormWindow() {
    // The child widgets outlive this part of the window: closing a focused window while it is
    // destroyed still sends them focus events, whose signals must no longer reach it.
    removeEventFilter(this);
    for (const auto& entry : widgets_) {
        entry.second->removeEventFilter(this);
        entry.second->disconnect(this);
    }
    session_.model().setVisibilityListener({});
}

void FormWindow::createControls(const SceneImages& images) {
    // Later siblings stack above earlier ones, so the bottom control is made first.
    const auto controls = session_.form().controls();
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
        const Control& control = *it;
        const ControlRecord& record = control.record();
        QWidget* widget = nullptr;
        switch (record.kind) {
        case ControlKind::Label:
            widget = new LabelWidget(record, fromUtf8(captionText(session_.language(), control)), this);
            break;
        case ControlKind::PushButton: {
            auto* button = new PushButtonWidget(fromUtf8(captionText(session_.language(), control)), this);
            if (record.font) button->setFont(toQFont(*record.font));
            button->setAutoDefault(false);
            // Only assistive technology clicks it this way; the keys and the mouse go to the session.
            connect(button, &QPushButton::clicked, this,
                    [this, &control] { play(Qt::TabFocusReason, [&] { return session_.activate(control); }); });
            widget = button;
            break;
        }
        case ControlKind::PictureArea: {
            auto* area = new PictureAreaWidget(record, record.picture ? images.image(*record.picture) : QImage(), this);
            area->setAccessibility(session_.accessibility(control));
            connect(area, &PictureAreaWidget::activated, this,
                    [this, &control] { play(Qt::TabFocusReason, [&] { return session_.activate(control); }); });
            widget = area;
            break;
        }
        }
        // A caption is written in the direction of the lesson's language (a heading still starts
        // at its left edge); the form keeps every control in its place in every language.
        if (record.kind != ControlKind::PictureArea && rightToLeft(session_.language().code()))
            widget->setLayoutDirection(Qt::RightToLeft);
        widget->setObjectName(QString::fromStdString(record.name));
        widget->setGeometry(toQRect(pixelRectOf(control)));
        widget->setVisible(record.visible);
        widget->installEventFilter(this);
        widgets_.insert(widgets_.begin(), {&control, widget});
    }
}

void FormWindow::setUpAccessibility() {
    for (const auto& [control, widget] : widgets_) {
        const Accessibility about = session_.accessibility(*control);
        widget->setAccessibleName(fromUtf8(about.name));
        widget->setAccessibleDescription(fromUtf8(about.description));
    }
    setAccessibleName(windowTitle());
    setAccessibleDescription(fromUtf8(session_.stageSentence()));
}

QWidget* FormWindow::controlWidget(std::string_view name) const {
    for (const auto& [control, widget] : widgets_)
        if (control->name() == name) return widget;
    return nullptr;
}

const Control* FormWindow::controlOf(const QObject* widget) const {
    for (const auto& [control, w] : widgets_)
        if (w == widget) return control;
    return nullptr;
}

template <class Input>
void FormWindow::play(Qt::FocusReason reason, Input&& input) {
    // A control hidden by a handler keeps the focus until the session says where it goes, so the
    // focus goes straight there instead of passing other controls.
    keepFocus_ = true;
    const LessonStep step = std::forward<Input>(input)();
    keepFocus_ = false;
    apply(step, reason);
}

void FormWindow::apply(const LessonStep& step, Qt::FocusReason reason) {
    if (step.outline)
        outline_->showAt(toQRect(*step.outline));
    else
        outline_->hide();
    if (step.pressed != pressedLook_) {
        for (const Control* control : {pressedLook_, step.pressed})
            if (auto* button = control ? qobject_cast<QPushButton*>(controlWidget(control->name())) : nullptr)
                button->setDown(control == step.pressed);
        pressedLook_ = step.pressed;
    }
    // Tools that read the window's description find the stage there; a pupil hears the announcer.
    const QString stage = QString::fromUtf8(step.stage.data(), static_cast<qsizetype>(step.stage.size()));
    if (stage != accessibleDescription()) setAccessibleDescription(stage);
    if (step.focus != nullptr) controlWidget(step.focus->name())->setFocus(reason);
    if (!step.say.empty()) announcer_->announce(QString::fromStdString(step.say));
    aids_->apply(step);
    if (step.error && errorReport_) errorReport_(*step.error);
}

void FormWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    // The focus starts where the session says, with its ring showing.
    if (const Control* first = session_.firstFocus()) {
        knownFocus_ = controlWidget(first->name());
        knownFocus_->setFocus(Qt::TabFocusReason);
    }
}

void FormWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        play(Qt::OtherFocusReason, [&] { return session_.windowDeactivated(); });
    }
    QWidget::changeEvent(event);
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    play(Qt::TabFocusReason, [&] { return session_.resized(width(), height()); });
}

bool FormWindow::focusNextPrevChild(bool next) {
    if (keepFocus_) return true;
    return QWidget::focusNextPrevChild(next);
}

void FormWindow::routeMouse(QMouseEvent* event) {
    // Qt sends every button to the widget that took the first press; where the main button is
    // in the window is what counts.
    const QPoint p = mapFromGlobal(event->globalPosition().toPoint());
    const PixelPoint point{p.x(), p.y()};
    const bool main = event->button() == Qt::LeftButton;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (main) play(Qt::OtherFocusReason, [&] { return session_.pointerPressed(kMousePointer, point); });
        return;
    case QEvent::MouseButtonDblClick:
        if (main) play(Qt::OtherFocusReason, [&] { return session_.pointerPressed(kMousePointer, point, true); });
        return;
    case QEvent::MouseMove:
        if (event->buttons().testFlag(Qt::LeftButton))
            play(Qt::OtherFocusReason, [&] { return session_.pointerMoved(kMousePointer, point); });
        return;
    case QEvent::MouseButtonRelease:
        if (main) play(Qt::OtherFocusReason, [&] { return session_.pointerReleased(kMousePointer, point); });
        return;
    default: return;
    }
}

bool FormWindow::playKey(QObject* receiver, QKeyEvent* event) {
    const KeyInput input{lessonKey(event->key()), event->type() == QEvent::KeyPress,
                         event->key() == Qt::Key_Backtab || event->modifiers().testFlag(Qt::ShiftModifier),
                         event->isAutoRepeat(), keyEventTime(*event)};
    if (input.key == Key::Other) return false;
    // Qt gives the key to the widget it has as focused, though it may not have told its focus yet
    // (a window not active yet).
    if (const Control* control = controlOf(receiver); control != nullptr && control != session_.focused())
        play(Qt::OtherFocusReason, [&] { return session_.focusMoved(control); });
    const Qt::FocusReason reason = input.shift ? Qt::BacktabFocusReason : Qt::TabFocusReason;
    bool handled = false;
    play(reason, [&] {
        LessonStep step = session_.key(input);
        handled = step.handled;
        return step;
    });
    // A key used on a picture shows where the focus is, even one the pointer gave it.
    if (handled)
        if (auto* area = qobject_cast<PictureAreaWidget*>(focusWidget())) area->showFocusRing();
    return handled;
}

bool FormWindow::offerSwitches(QEvent* event) {
    QPoint at;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        rightClick_ = mouse->buttons() == Qt::RightButton && !dragInProgress();
        return false;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!rightClick_ || mouse->button() != Qt::RightButton || mouse->buttons() != Qt::NoButton) return false;
        rightClick_ = false;
        at = mouse->globalPosition().toPoint();
        break;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
        if (key->key() != Qt::Key_Menu && !shiftF10) return false;
        if (key->isAutoRepeat()) return true;
        const QWidget* focused = focusWidget() != nullptr ? focusWidget() : this;
        at = focused->mapToGlobal(focused->rect().center());
        break;
    }
    case QEvent::ContextMenu:
        // Qt's own request comes with the right button's press, which may yet be part of a chord;
        // the press and the release above decide.
        return true;
    default: return false;
    }
    aids_->showMenu(at);
    return true;
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (offerSwitches(event)) return true;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // Qt has already moved the focus to the pressed control; in a window that is not active
        // yet, it arrives later as the window's own and would keep the keyboard's ring.
        if (focusWidget() != knownFocus_) {
            knownFocus_ = focusWidget();
            if (auto* area = qobject_cast<PictureAreaWidget*>(focusWidget())) area->hideFocusRing();
        }
        routeMouse(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: routeMouse(static_cast<QMouseEvent*>(event)); return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: return playKey(watched, static_cast<QKeyEvent*>(event));
    case QEvent::FocusIn:
        if (watched != this) knownFocus_ = static_cast<QWidget*>(watched);
        if (const Control* control = controlOf(watched);
            control != nullptr && !keepFocus_ && !followsActivation(static_cast<QFocusEvent*>(event)->reason()))
            play(Qt::TabFocusReason, [&] { return session_.focusMoved(control); });
        return QWidget::eventFilter(watched, event);
    default: return QWidget::eventFilter(watched, event);
    }
}

} // namespace velmora
