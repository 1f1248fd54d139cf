#include "ui/form_window.h"

#include "model/twips.h"
#include "reaction/stage.h"
#include "ui/accessible_text.h"
#include "ui/control_accessibility.h"
#include "ui/drag_outline.h"
#include "ui/label_widget.h"
#include "ui/picture_area_widget.h"
#include "ui/push_button_widget.h"
#include "ui/qt_conversions.h"
#include "ui/scene_images.h"

#include <QEvent>

#include <algorithm>

namespace velmora {

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

    createControls(images);
    setUpTabOrder();
    setUpAccessibility();
    outline_ = std::make_unique<DragOutline>(this);
    model_.setVisibilityListener([this](const Control& c) { return showVisibility(c); });
}

FormWindow::~FormWindow() {
    // The child widgets outlive this part of the window: closing a focused window while it is
    // destroyed still sends them focus events, whose signals must no longer reach it.
    for (const auto& entry : widgets_) entry.second->disconnect(this);
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
        case ControlKind::Label:
            widget = new LabelWidget(record, this);
            break;
        case ControlKind::PushButton: {
            auto* button = new PushButtonWidget(QString::fromStdString(record.caption), this);
            if (record.font) button->setFont(toQFont(*record.font));
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this, &control] { raiseEvent(&control, FormEvent::Click); });
            widget = button;
            break;
        }
        case ControlKind::PictureArea: {
            auto* area = new PictureAreaWidget(record, record.picture ? images.image(*record.picture) : QImage(), this);
            area->setActivatable(events_.handles(record.name, FormEvent::Click));
            connect(area, &PictureAreaWidget::clicked, this, [this, &control] { raiseEvent(&control, FormEvent::Click); });
            connect(area, &PictureAreaWidget::dragStarted, this,
                    [this, &control](QPoint grab) { beginDrag(control, grab, false); });
            connect(area, &PictureAreaWidget::dragMoved, this, &FormWindow::moveDrag);
            connect(area, &PictureAreaWidget::dragEnded, this, &FormWindow::endDrag);
            connect(area, &PictureAreaWidget::activated, this, [this, &control] { activateByKeyboard(control); });
            connect(area, &PictureAreaWidget::moveRequested, this, &FormWindow::moveKeyboardDrag);
            connect(area, &PictureAreaWidget::cancelRequested, this, [this] {
                if (keyboardDragInProgress()) cancelDrag();
            });
            connect(area, &PictureAreaWidget::focusLost, this, [this, &control] {
                if (keyboardDragInProgress() && drag_->source == &control) cancelDrag();
            });
            widget = area;
            break;
        }
        }
        widget->setObjectName(QString::fromStdString(record.name));
        widget->setGeometry(pixelRect(record));
        widget->setVisible(record.visible);
        widgets_.insert(widgets_.begin(), {&control, widget});
    }
}

void FormWindow::setUpTabOrder() {
    std::vector<std::pair<Control*, QWidget*>> order;
    std::copy_if(widgets_.begin(), widgets_.end(), std::back_inserter(order),
                 [](const auto& entry) { return entry.first->record().canTakeFocus(); });
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first->record().tabIndex < b.first->record().tabIndex; });
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

Control* FormWindow::controlAt(QPoint point) {
    for (const auto& [control, widget] : widgets_)
        if (control->visible() && widget->geometry().contains(point)) return control;
    return nullptr;
}

void FormWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    // The focus starts on the first control in tab order that can take it.
    const std::pair<Control*, QWidget*>* first = nullptr;
    for (const auto& entry : widgets_)
        if (entry.first->record().canTakeFocus() && entry.first->visible() &&
            (first == nullptr || entry.first->record().tabIndex < first->first->record().tabIndex))
            first = &entry;
    if (first != nullptr) first->second->setFocus(Qt::OtherFocusReason);
}

void FormWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) cancelDrag();
    QWidget::changeEvent(event);
}

Status FormWindow::showVisibility(const Control& control) {
    QWidget* widget = controlWidget(control.name());
    if (widget == nullptr) return kStatusFail;
    widget->setVisible(control.visible());
    if (control.visible()) shownDuringEvent_.push_back(&control);
    return kStatusOk;
}

void FormWindow::raiseEvent(const Control* control, FormEvent event, const EventArgs& args) {
    shownDuringEvent_.clear();
    // A failing handler has already been reported by the error policy, which ends the program.
    (void)events_.raise(model_, control ? std::string_view(control->name()) : std::string_view(), event, args);
    // Screen readers hear the new stage through the description's change event.
    const QString stage = stageDescription(stageOf(model_));
    if (stage != accessibleDescription()) setAccessibleDescription(stage);
}

void FormWindow::beginDrag(Control& source, QPoint grab, bool byKeyboard) {
    QWidget* widget = controlWidget(source.name());
    drag_ = Drag{&source, widget, grab, byKeyboard};
    outline_->showAt(widget->geometry());
}

void FormWindow::moveDrag(QPoint global) {
    if (!drag_ || drag_->byKeyboard) return;
    outline_->showAt(QRect(mapFromGlobal(global) - drag_->grab, drag_->widget->size()));
}

void FormWindow::endDrag(QPoint global) {
    if (!drag_ || drag_->byKeyboard) return;
    const Drag drag = *drag_;
    cancelDrag();
    dropAt(drag, mapFromGlobal(global));
}

void FormWindow::dropAt(const Drag& drag, QPoint point) {
    Control* target = controlAt(point);
    QPoint local = point;
    if (target != nullptr) {
        local = controlWidget(target->name())->mapFrom(this, point);
        if (target->kind() == ControlKind::PictureArea)
            local -= QPoint(PictureAreaWidget::kFrameWidth, PictureAreaWidget::kFrameWidth);
    }
    const EventArgs args{drag.source, twipsFromPixels(static_cast<float>(local.x()), kTwipsPerPixel),
                         twipsFromPixels(static_cast<float>(local.y()), kTwipsPerPixel)};
    raiseEvent(target, FormEvent::DragDrop, args);
}

void FormWindow::cancelDrag() {
    drag_.reset();
    outline_->hide();
}

void FormWindow::activateByKeyboard(Control& control) {
    if (!control.record().autoDrag) {
        // Space or Enter on a picture area is a click on it.
        raiseEvent(&control, FormEvent::Click);
        if (!control.visible()) focusPushButton();
        return;
    }
    if (dragInProgress() && !keyboardDragInProgress()) return; // the mouse has it
    if (!keyboardDragInProgress()) {
        // Picked up by the keyboard: the outline starts over the control, held at its centre.
        QWidget* widget = controlWidget(control.name());
        beginDrag(control, widget->rect().center(), true);
        return;
    }
    const Drag drag = *drag_;
    const QPoint centre = outline_->ring().center();
    cancelDrag();
    dropAt(drag, centre);
    if (!drag.source->visible()) focusFirstShownDuringLastEvent();
}

void FormWindow::moveKeyboardDrag(QPoint delta) {
    if (!keyboardDragInProgress()) return;
    // The outline's centre, the point it drops on, stays inside the window.
    const QRect area = rect();
    QRect moved = outline_->ring().translated(delta);
    const QPoint centre = moved.center();
    moved.translate(std::clamp(centre.x(), area.left(), area.right()) - centre.x(),
                    std::clamp(centre.y(), area.top(), area.bottom()) - centre.y());
    outline_->showAt(moved);
}

void FormWindow::focusFirstShownDuringLastEvent() {
    for (const Control* control : shownDuringEvent_)
        if (control->visible() && control->record().canTakeFocus()) {
            controlWidget(control->name())->setFocus(Qt::TabFocusReason);
            return;
        }
}

void FormWindow::focusPushButton() {
    for (const auto& [control, widget] : widgets_)
        if (control->kind() == ControlKind::PushButton && control->visible()) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
}

} // namespace velmora
