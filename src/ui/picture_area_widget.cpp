#include "ui/picture_area_widget.h"

#include "ui/qt_conversions.h"

#include <QFocusEvent>
#include <QKeyEvent>
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
    painter.fillRect(r, toQColor(systemColor(SystemColor::ButtonShadow)));
    painter.fillRect(QRect(r.left() + 1, r.top() + 1, r.width() - 1, r.height() - 1),
                     toQColor(systemColor(SystemColor::ButtonHighlight)));
    painter.fillRect(QRect(r.left() + 1, r.top() + 1, r.width() - 2, r.height() - 2),
                     toQColor(systemColor(SystemColor::WindowFrame)));
    painter.fillRect(QRect(r.left() + 2, r.top() + 2, r.width() - 3, r.height() - 3),
                     toQColor(systemColor(SystemColor::ButtonFace)));

    const QRect inner = innerRect();
    painter.fillRect(inner, back_);
    if (!picture_.isNull()) {
        painter.setClipRect(inner & event->rect());
        painter.drawImage(inner.topLeft(), picture_);
    }
    if (focusRing_ && hasFocus()) {
        // Blue and white, so the ring shows on the black, white and red parts of every picture.
        painter.setClipRect(inner);
        painter.setPen(QPen(QColor(0, 90, 200), 3));
        painter.drawRect(inner.adjusted(1, 1, -2, -2));
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(inner.adjusted(3, 3, -4, -4));
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

void PictureAreaWidget::keyPressEvent(QKeyEvent* event) {
    const int step = event->modifiers().testFlag(Qt::ShiftModifier) ? 1 : 10;
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat()) emit activated();
        break;
    case Qt::Key_Left: emit moveRequested(QPoint(-step, 0)); break;
    case Qt::Key_Right: emit moveRequested(QPoint(step, 0)); break;
    case Qt::Key_Up: emit moveRequested(QPoint(0, -step)); break;
    case Qt::Key_Down: emit moveRequested(QPoint(0, step)); break;
    case Qt::Key_Escape: emit cancelRequested(); break;
    default: return QWidget::keyPressEvent(event);
    }
    if (!focusRing_) {
        focusRing_ = true;
        update();
    }
}

void PictureAreaWidget::focusInEvent(QFocusEvent* event) {
    // Only a focus that came from the keyboard shows the ring; a focus set by the program
    // after a keyboard action arrives as a tab focus on purpose.
    focusRing_ = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
                 event->reason() == Qt::ShortcutFocusReason;
    update();
    QWidget::focusInEvent(event);
}

void PictureAreaWidget::focusOutEvent(QFocusEvent* event) {
    focusRing_ = false;
    update();
    emit focusLost();
    QWidget::focusOutEvent(event);
}

void PictureAreaWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double-click starts another drag of a dragging area, but is no
    // click: the release that follows it finds nothing pressed.
    if (autoDrag_) mousePressEvent(event);
}

} // namespace velmora
