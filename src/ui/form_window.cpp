// SPDX-License-Identifier: MIT
#include "ui/form_window.h"

#include "ui/accessible_text.h"
#include "ui/announcer.h"
#include "ui/control_accessibility.h"
#include "ui/drag_outline.h"
#include "ui/key_state.h"
#include "ui/label_widget.h"
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

// Keys that move the focus: holding one down is meant to go on through the controls.
bool movesFocus(int key) { return key == Qt::Key_Tab || key == Qt::Key_Backtab; }

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
    createControls(images);
    const std::vector<const Control*> order = session_.tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(controlWidget(order[i - 1]->name()), controlWidget(order[i]->name()));
    setUpAccessibility();
    outline_ = std::make_unique<DragOutline>(this);
    installEventFilter(this);
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
            // Only the keyboard and assistive technology click it this way; the mouse is routed here.
            connect(button, &QPushButton::clicked, this,
                    [this, &control] { play(Qt::TabFocusReason, [&] { return session_.activate(control); }); });
            widget = button;
            break;
        }
        case ControlKind::PictureArea: {
            auto* area = new PictureAreaWidget(record, record.picture ? images.image(*record.picture) : QImage(), this);
            area->setActivatable(session_.clickable(control));
            connect(area, &PictureAreaWidget::activated, this,
                    [this, &control] { play(Qt::TabFocusReason, [&] { return session_.activate(control); }); });
            connect(area, &PictureAreaWidget::moveRequested, this, [this](Direction direction, bool fine) {
                play(Qt::TabFocusReason, [&] { return session_.moveHold(direction, fine); });
            });
            connect(area, &PictureAreaWidget::cancelRequested, this,
                    [this] { play(Qt::TabFocusReason, [&] { return session_.putDown(); }); });
            widget = area;
            break;
        }
        }
        widget->setObjectName(QString::fromStdString(record.name));
        widget->setGeometry(toQRect(pixelRectOf(control)));
        widget->setVisible(record.visible);
        widget->installEventFilter(this);
        widgets_.insert(widgets_.begin(), {&control, widget});
    }
}

void FormWindow::setUpAccessibility() {
    for (const auto& [control, widget] : widgets_) {
        const AccessibleText text = accessibleTextFor(session_.language(), control->name());
        widget->setAccessibleName(text.name);
        widget->setAccessibleDescription(text.description);
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
        keysDown_.clear();
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
        if (main) play(Qt::OtherFocusReason, [&] { return session_.pointerPressed(point); });
        return;
    case QEvent::MouseButtonDblClick:
        if (main) play(Qt::OtherFocusReason, [&] { return session_.pointerPressed(point, true); });
        return;
    case QEvent::MouseMove:
        if (event->buttons().testFlag(Qt::LeftButton))
            play(Qt::OtherFocusReason, [&] { return session_.pointerMoved(point); });
        return;
    case QEvent::MouseButtonRelease:
        if (main) play(Qt::OtherFocusReason, [&] { return session_.pointerReleased(point); });
        return;
    default: return;
    }
}

bool FormWindow::filterKey(QWidget* receiver, QKeyEvent* event) {
    const int key = event->key();
    if (forwardingKey_ || movesFocus(key)) return false;
    if (event->type() == QEvent::KeyRelease) {
        // A release with no time (a screen reader saw the keys first, and Qt's copies have none)
        // while the key is still down is the window system's repeat.
        const bool repeat =
            event->isAutoRepeat() || (event->timestamp() == 0 && keyDownOnWindowSystem(event->nativeScanCode()));
        if (!repeat) {
            const auto held = keysDown_.find(key);
            lastRelease_ = {key, event->timestamp(), held != keysDown_.end() ? held->second : QPointer<QWidget>()};
            if (held != keysDown_.end()) keysDown_.erase(held);
        }
        return false;
    }
    // A press continues a hold when the key is already down, when it says it repeats, or when it
    // comes at the very moment of the key's last release (a repeat the window system did not mark).
    const auto held = keysDown_.find(key);
    const bool unmarkedRepeat =
        lastRelease_.key == key && event->timestamp() != 0 && event->timestamp() == lastRelease_.timestamp;
    if (held == keysDown_.end() && !event->isAutoRepeat() && !unmarkedRepeat) {
        keysDown_[key] = receiver;
        if (key == kWhereAmIKey) {
            play(Qt::TabFocusReason, [&] { return session_.whereAmI(); });
            return true;
        }
        return false;
    }
    const QPointer<QWidget> owner = held != keysDown_.end() ? held->second
                                    : unmarkedRepeat        ? lastRelease_.owner
                                                            : nullptr;
    keysDown_[key] = owner;
    // A key held since before this control took the focus does nothing here.
    if (owner != receiver || key == kWhereAmIKey) return true;
    if (event->isAutoRepeat()) return false;
    // The control that took the press sees the rest of the hold as repeats.
    QKeyEvent repeat(event->type(), key, event->modifiers(), event->nativeScanCode(), event->nativeVirtualKey(),
                     event->nativeModifiers(), event->text(), true, static_cast<quint16>(event->count()));
    forwardingKey_ = true;
    QCoreApplication::sendEvent(receiver, &repeat);
    forwardingKey_ = false;
    return true;
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
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
    case QEvent::KeyRelease: return filterKey(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event));
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
