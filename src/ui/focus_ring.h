// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>

class QPainter;

namespace velmora {

// Draws the lesson's keyboard focus mark (kFocusRingColour, kFocusRingWidth) just inside `area`.
void drawFocusRing(QPainter& painter, const QRect& area);

} // namespace velmora
