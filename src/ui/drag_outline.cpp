#include "ui/drag_outline.h"

#include <QPainter>
#include <QRegion>

namespace velmora {

DragOutline::DragOutline(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Drag outline"));
    hide();
}

void DragOutline::showAt(const QRect& geometry) {
    if (geometry.size() != size()) {
        const QRect ring(QPoint(0, 0), geometry.size());
        setMask(QRegion(ring) - QRegion(ring.adjusted(kThickness, kThickness, -kThickness, -kThickness)));
    }
    setGeometry(geometry);
    if (isHidden()) {
        show();
        raise();
    }
}

void DragOutline::paintEvent(QPaintEvent*) {
    // Grey and white dashes stay visible on the black form, the white ground and the red substrate.
    QPainter painter(this);
    painter.fillRect(rect(), QColor(128, 128, 128));
    QPen pen(Qt::white, kThickness, Qt::DashLine);
    painter.setPen(pen);
    const qreal half = kThickness / 2.0;
    painter.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
}

} // namespace velmora
