// SPDX-License-Identifier: MIT
#include "ui/focus_ring.h"

#include "reaction/focus_mark.h"

#include <QColor>
#include <QPainter>

namespace velmora {

void drawFocusRing(QPainter& painter, const QRect& area) {
    painter.save();
    painter.setClipRect(area);
    painter.setPen(QPen(QColor(kFocusRingColour.r, kFocusRingColour.g, kFocusRingColour.b), kFocusRingWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(1, 1, -2, -2));
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(area.adjusted(kFocusRingWidth, kFocusRingWidth, -kFocusRingWidth - 1, -kFocusRingWidth - 1));
    painter.restore();
}

} // namespace velmora
