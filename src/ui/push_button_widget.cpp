// SPDX-License-Identifier: MIT
#include "ui/push_button_widget.h"

#include "ui/focus_ring.h"

#include <QPainter>

namespace velmora {

void PushButtonWidget::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (!hasFocus() || !window()->testAttribute(Qt::WA_KeyboardFocusChange)) return;
    QPainter painter(this);
    drawFocusRing(painter, rect());
}

} // namespace velmora
