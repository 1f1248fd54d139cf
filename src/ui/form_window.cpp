#include "ui/form_window.h"

#include "model/twips.h"
#include "ui/drag_outline.h"
#include "ui/label_widget.h"
#include "ui/picture_area_widget.h"
#include "ui/qt_conversions.h"
#include "ui/scene_images.h"

#include <QEvent>
#include <QPushButton>

#include <algorithm>

namespace velmora {

FormWindow::FormWindow(const SceneImages& images, QWidget* parent) : QWidget(parent), events_(model_) {
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
    outline_ = new DragOutline(this);
    model_.setVisibilityListener([this](const Control& c) { return showVisibility(c); });
}

FormWindow::~FormWindow() { model_.setVisibilityListener({}); }

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
            auto* button = new QPushButton(QString::fromStdString(record.caption), this);
            if (record.font) button->setFont(toQFont(*record.font));
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this, &control] { raiseEvent(&control, "Click"); });
            widget = button;
            break;
        }
        case ControlKind::PictureArea: {
            auto* area = new PictureAreaWidget(record, record.picture ? images.image(*record.picture) : QImage(), this);
            connect(area, &PictureAreaWidget::clicked, this, [this, &control] { raiseEvent(&control, "Click"); });
            connect(area, &PictureAreaWidget::dragStarted, this, [this, &control](QPoint grab) { beginDrag(control, grab); });
            connect(area, &PictureAreaWidget::dragMoved, this, &FormWindow::moveDrag);
            connect(area, &PictureAreaWidget::dragEnded, this, &FormWindow::endDrag);
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
    Control* first = nullptr;
    for (const auto& [control, widget] : widgets_)
        if (control->record().canTakeFocus() && control->visible() &&
            (first == nullptr || control->record().tabIndex < first->record().tabIndex))
            first = control;
    if (first != nullptr) controlWidget(first->name())->setFocus(Qt::OtherFocusReason);
}

void FormWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) cancelDrag();
    QWidget::changeEvent(event);
}

Status FormWindow::showVisibility(const Control& control) {
    QWidget* widget = controlWidget(control.name());
    if (widget == nullptr) return kStatusFail;
    widget->setVisible(control.visible());
    return kStatusOk;
}

void FormWindow::raiseEvent(const Control* control, std::string_view event, const EventArgs& args) {
    // A failing handler has already been reported by the error policy, which ends the program.
    (void)events_.raise(model_, control ? std::string_view(control->name()) : std::string_view(), event, args);
}

void FormWindow::beginDrag(Control& source, QPoint grab) {
    drag_ = Drag{&source, grab};
    QWidget* widget = controlWidget(source.name());
    outline_->showAt(QRect(widget->pos(), widget->size()));
}

void FormWindow::moveDrag(QPoint global) {
    if (!drag_) return;
    QWidget* widget = controlWidget(drag_->source->name());
    outline_->showAt(QRect(mapFromGlobal(global) - drag_->grab, widget->size()));
}

void FormWindow::endDrag(QPoint global) {
    if (!drag_) return;
    const Drag drag = *drag_;
    cancelDrag();
    const QPoint point = mapFromGlobal(global);
    Control* target = controlAt(point);
    QPoint local = point;
    if (target != nullptr) {
        local = controlWidget(target->name())->mapFrom(this, point);
        if (target->kind() == ControlKind::PictureArea)
            local -= QPoint(PictureAreaWidget::kFrameWidth, PictureAreaWidget::kFrameWidth);
    }
    const EventArgs args{drag.source, twipsFromPixels(static_cast<float>(local.x()), kTwipsPerPixel),
                         twipsFromPixels(static_cast<float>(local.y()), kTwipsPerPixel)};
    raiseEvent(target, "DragDrop", args);
}

void FormWindow::cancelDrag() {
    drag_.reset();
    outline_->hide();
}

} // namespace velmora
