#include "ui/picture_area_widget.h"

#include "ui/qt_conversions.h"

#include <QMouseEvent>
#include <QPainter>

namespace velmora {

PictureAreaWidget::PictureAreaWidget(const ControlRecord& record, QImage picture, QWidget* parent)
    : QWidget(parent), picture_(std::move(picture)), back_(toQColor(record.effectiveBackColor())),
      autoDrag_(record.autoDrag) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureAreaWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    // Sunken frame: shadow on the top and left, light on the bottom and right.
    const QRect r = rect();
    painter.fillRect(r, QColor(128, 128, 128));
    painter.fillRect(QRect(r.left() + 1, r.top() + 1, r.width() - 1, r.height() - 1), QColor(255, 255, 255));
    painter.fillRect(QRect(r.left() + 1, r.top() + 1, r.width() - 2, r.height() - 2), QColor(0, 0, 0));
    painter.fillRect(QRect(r.left() + 2, r.top() + 2, r.width() - 3, r.height() - 3), QColor(212, 208, 200));

    const QRect inner = innerRect();
    painter.fillRect(inner, back_);
    if (!picture_.isNull()) {
        painter.setClipRect(inner & event->rect());
        painter.drawImage(inner.topLeft(), picture_);
    }
}

void PictureAreaWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    pressed_ = true;
    if (autoDrag_) emit dragStarted(event->position().toPoint());
}

void PictureAreaWidget::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_ && autoDrag_) emit dragMoved(event->globalPosition().toPoint());
}

void PictureAreaWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return QWidget::mouseReleaseEvent(event);
    pressed_ = false;
    if (autoDrag_)
        emit dragEnded(event->globalPosition().toPoint());
    else if (rect().contains(event->position().toPoint()))
        emit clicked();
}

void PictureAreaWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double-click starts another drag of a dragging area, but is no
    // click: the release that follows it finds nothing pressed.
    if (autoDrag_) mousePressEvent(event);
}

} // namespace velmora
