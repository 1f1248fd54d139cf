// SPDX-License-Identifier: MIT
#include "ui/form_window.h"

#include "model/twips.h"
#include "reaction/keyboard_hold.h"
#include "reaction/lesson_texts.h"
#include "reaction/stage.h"
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

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace velmora {
namespace {

QRect toQRect(const PixelRect& r) { return {r.x, r.y, r.width, r.height}; }
PixelRect toPixelRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

// Keys that move the focus: holding one down is meant to go on through the controls.
bool movesFocus(int key) { return key == Qt::Key_Tab || key == Qt::Key_Backtab; }

} // namespace

FormWindow::FormWindow(const SceneImages& images, QWidget* parent) : QWidget(parent), events_(model_) {
    installControlAccessibility();
    const FormDescription& form = model_.description();
    setWindowTitle(QString::fromStdString(form.caption));
    setObjectName(QString::fromStdString(form.name));
    QPalette background = palette();
    background.setColor(QPalette::Window, toQColor(form.backColor));
    setPalette(background);
    setAutoFillBackground(true);
    resize(pixelsFromTwips(form.clientWidth, kTwipsPerPixel), pixelsFromTwips(form.clientHeight, kTwipsPerPixel));

    announcer_ = new Announcer(this);
    createControls(images);
    setUpTabOrder();
    setUpAccessibility();
    outline_ = std::make_unique<DragOutline>(this);
    model_.setVisibilityListener([this](const Control& c) { return showVisibility(c); });
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
    model_.setVisibilityListener({});
}

void FormWindow::createControls(const SceneImages& images) {
    // Later siblings stack above earlier ones, so the bottom control is made first.
    const auto controls = model_.controls();
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
        Control& control = *it;
        const ControlRecord& record = control.record();
        QWidget* widget = nullptr;
        switch (record.kind) {
        case ControlKind::Label: widget = new LabelWidget(record, this); break;
        case ControlKind::PushButton: {
            auto* button = new PushButtonWidget(QString::fromStdString(record.caption), this);
            if (record.font) button->setFont(toQFont(*record.font));
            button->setAutoDefault(false);
            // Only the keyboard and assistive technology click it this way; the mouse is routed here.
            connect(button, &QPushButton::clicked, this,
                    [this, &control] { raiseEvent(&control, FormEvent::Click, {}, Qt::TabFocusReason); });
            widget = button;
            break;
        }
        case ControlKind::PictureArea: {
            auto* area = new PictureAreaWidget(record, record.picture ? images.image(*record.picture) : QImage(), this);
            area->setActivatable(events_.handles(record.name, FormEvent::Click));
            connect(area, &PictureAreaWidget::activated, this, [this, &control] { activateByKeyboard(control); });
            connect(area, &PictureAreaWidget::moveRequested, this, &FormWindow::moveKeyboardDrag);
            connect(area, &PictureAreaWidget::cancelRequested, this, [this] {
                if (keyboardDragInProgress()) putDownKeyboardHold();
            });
            connect(area, &PictureAreaWidget::focusLost, this, [this, &control] {
                if (keyboardDragInProgress() && drag_->source == &control) putDownKeyboardHold();
            });
            widget = area;
            break;
        }
        }
        widget->setObjectName(QString::fromStdString(record.name));
        widget->setGeometry(pixelRect(record));
        widget->setVisible(record.visible);
        widget->installEventFilter(this);
        widgets_.insert(widgets_.begin(), {&control, widget});
    }
}

void FormWindow::setUpTabOrder() {
    std::vector<std::pair<Control*, QWidget*>> order;
    std::copy_if(widgets_.begin(), widgets_.end(), std::back_inserter(order),
                 [](const auto& entry) { return entry.first->record().canTakeFocus(); });
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        return a.first->record().tabIndex < b.first->record().tabIndex;
    });
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1].second, order[i].second);
}

void FormWindow::setUpAccessibility() {
    for (const auto& [control, widget] : widgets_) {
        const AccessibleText text = accessibleTextFor(control->name());
        widget->setAccessibleName(text.name);
        widget->setAccessibleDescription(text.description);
    }
    setAccessibleName(windowTitle());
    setAccessibleDescription(stageDescription(stageOf(model_)));
}

QWidget* FormWindow::controlWidget(std::string_view name) const {
    for (const auto& [control, widget] : widgets_)
        if (control->name() == name) return widget;
    return nullptr;
}

Control* FormWindow::controlAt(QPoint point) { return velmora::controlAt(model_, {point.x(), point.y()}); }

void FormWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    // The focus starts on the first control in tab order that can take it, with its ring showing.
    const std::pair<Control*, QWidget*>* first = nullptr;
    for (const auto& entry : widgets_)
        if (entry.first->record().canTakeFocus() && entry.first->visible() &&
            (first == nullptr || entry.first->record().tabIndex < first->first->record().tabIndex))
            first = &entry;
    if (first != nullptr) first->second->setFocus(Qt::TabFocusReason);
}

void FormWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        // What happens elsewhere is not the lesson's: nothing held stays held, no key stays down.
        cancelDrag();
        keysDown_.clear();
        mainPressed_ = nullptr;
    }
    QWidget::changeEvent(event);
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!hold_) return;
    const std::optional<std::string> crossed = hold_->resizeClient(width(), height());
    showHold();
    if (crossed) announce(*crossed);
}

Status FormWindow::showVisibility(const Control& control) {
    QWidget* widget = controlWidget(control.name());
    if (widget == nullptr) return kStatusFail;
    widget->setVisible(control.visible());
    if (control.visible()) shownDuringEvent_.push_back(&control);
    return kStatusOk;
}

bool FormWindow::focusNextPrevChild(bool next) {
    // A control hidden by the running handler keeps the focus until the handler is done, so
    // the focus goes straight to where the lesson leads instead of passing other controls.
    if (keepFocus_) return true;
    return QWidget::focusNextPrevChild(next);
}

void FormWindow::raiseEvent(const Control* control, FormEvent event, const EventArgs& args, Qt::FocusReason reason) {
    shownDuringEvent_.clear();
    const Stage before = stageOf(model_);
    keepFocus_ = true;
    // A failing handler has already been reported by the error policy, which ends the program.
    (void)events_.raise(model_, control ? std::string_view(control->name()) : std::string_view(), event, args);
    keepFocus_ = false;
    const Stage after = stageOf(model_);
    // Tools that read the window's description find the stage there; a pupil hears the announcer.
    const QString stage = stageDescription(after);
    if (stage != accessibleDescription()) setAccessibleDescription(stage);
    refocusAfter(event, reason);
    if (const std::optional<Announcement> said = announcementAfter(before, after, event == FormEvent::DragDrop))
        announce(std::string(announcementText(*said)));
}

void FormWindow::refocusAfter(FormEvent event, Qt::FocusReason reason) {
    QWidget* focused = focusWidget();
    if (focused == nullptr || focused->isVisible()) return;
    // A drop that took the substrate away leads on to what it made; a click that took its
    // control away leads on to Reset.
    const bool moved = event == FormEvent::DragDrop ? focusFirstShownDuringLastEvent(reason) : focusPushButton(reason);
    if (!moved) QWidget::focusNextPrevChild(true);
}

void FormWindow::routeMouse(QMouseEvent* event) {
    // Qt sends every button to the widget that took the first press; where the main button is
    // in the window is what counts.
    const QPoint point = mapFromGlobal(event->globalPosition().toPoint());
    auto* button = mainPressed_ ? qobject_cast<QPushButton*>(controlWidget(mainPressed_->name())) : nullptr;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (event->button() != Qt::LeftButton) return;
        Control* target = controlAt(point);
        mainPressed_ = nullptr;
        if (target == nullptr) return;
        QWidget* widget = controlWidget(target->name());
        if (target->record().autoDrag) {
            // A drag starts at once; the substrate gets no click. A mouse drag takes over from the keys.
            hold_.reset();
            drag_ = Drag{target, widget, point - widget->pos()};
            outline_->showAt(widget->geometry());
            return;
        }
        // The second press of a double-click is no click on a picture, but a button takes it as one.
        auto* pressedButton = qobject_cast<QPushButton*>(widget);
        if (event->type() == QEvent::MouseButtonDblClick && pressedButton == nullptr) return;
        mainPressed_ = target;
        if (pressedButton != nullptr) pressedButton->setDown(true);
        return;
    }
    case QEvent::MouseMove:
        if (!event->buttons().testFlag(Qt::LeftButton)) return;
        if (drag_ && !hold_) outline_->showAt(QRect(point - drag_->grab, drag_->widget->size()));
        if (button != nullptr) button->setDown(controlAt(point) == mainPressed_);
        return;
    case QEvent::MouseButtonRelease: {
        if (event->button() != Qt::LeftButton) return;
        if (drag_ && !hold_) {
            const Drag drag = *drag_;
            cancelDrag();
            dropAt(drag, point, Qt::OtherFocusReason);
            return;
        }
        Control* pressed = mainPressed_;
        mainPressed_ = nullptr;
        if (button != nullptr) button->setDown(false);
        if (pressed != nullptr && controlAt(point) == pressed && events_.handles(pressed->name(), FormEvent::Click))
            raiseEvent(pressed, FormEvent::Click, {}, Qt::OtherFocusReason);
        return;
    }
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
            announceWhereAmI();
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
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: routeMouse(static_cast<QMouseEvent*>(event)); return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: return filterKey(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event));
    default: return QWidget::eventFilter(watched, event);
    }
}

void FormWindow::dropAt(const Drag& drag, QPoint point, Qt::FocusReason reason) {
    Control* target = controlAt(point);
    raiseEvent(target, FormEvent::DragDrop, dropArguments(*drag.source, target, {point.x(), point.y()}), reason);
}

void FormWindow::cancelDrag() {
    drag_.reset();
    hold_.reset();
    outline_->hide();
}

void FormWindow::putDownKeyboardHold() {
    cancelDrag();
    announce(std::string(announcementText(Announcement::Cancelled)));
}

void FormWindow::activateByKeyboard(Control& control) {
    if (!control.record().autoDrag) {
        // Space or Enter on a picture area is a click on it.
        raiseEvent(&control, FormEvent::Click, {}, Qt::TabFocusReason);
        return;
    }
    if (dragInProgress() && !keyboardDragInProgress()) return; // the mouse has it
    if (!keyboardDragInProgress()) {
        // Picked up by the keyboard: the outline starts over the control and drops at its centre.
        QWidget* widget = controlWidget(control.name());
        drag_ = Drag{&control, widget, widget->rect().center()};
        hold_ = std::make_unique<KeyboardHold>(toPixelRect(widget->geometry()), dropTargetRect(), width(), height());
        showHold();
        announce(hold_->pickedUpText());
        return;
    }
    const Drag drag = *drag_;
    const PixelPoint centre = hold_->dropPoint();
    cancelDrag();
    dropAt(drag, QPoint(centre.x, centre.y), Qt::TabFocusReason);
}

void FormWindow::moveKeyboardDrag(QPoint delta) {
    if (!hold_) return;
    const std::optional<std::string> crossed = hold_->moveBy(delta.x(), delta.y());
    showHold();
    if (crossed) announce(*crossed);
}

PixelRect FormWindow::dropTargetRect() const {
    for (const Control& c : model_.controls())
        if (events_.handles(c.name(), FormEvent::DragDrop)) return pixelRectOf(c);
    return {};
}

void FormWindow::showHold() { outline_->showAt(toQRect(hold_->outline())); }

void FormWindow::announceWhereAmI() {
    if (hold_) {
        announce(holdingText(headingTo(hold_->dropPoint(), dropTargetRect())));
        return;
    }
    announce(std::string(stageText(stageOf(model_))));
}

void FormWindow::announce(const std::string& text) { announcer_->announce(QString::fromStdString(text)); }

bool FormWindow::focusFirstShownDuringLastEvent(Qt::FocusReason reason) {
    for (const Control* control : shownDuringEvent_)
        if (control->visible() && control->record().canTakeFocus()) {
            controlWidget(control->name())->setFocus(reason);
            return true;
        }
    return false;
}

bool FormWindow::focusPushButton(Qt::FocusReason reason) {
    for (const auto& [control, widget] : widgets_)
        if (control->kind() == ControlKind::PushButton && control->visible()) {
            widget->setFocus(reason);
            return true;
        }
    return false;
}

} // namespace velmora
