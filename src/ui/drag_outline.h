// SPDX-License-Identifier: MIT
#pragma once

#include "reaction/drag_outline_look.h"

#include <QRect>
#include <QWidget>

#include <array>

namespace velmora {

/*
 * The outline that follows the pointer during a drag: a ring the size of the dragged control,
 * made of four thin strips on top of every control. Moving the ring moves the strips, so a drag
 * step repaints only the strips it leaves and covers, never what lies inside the ring. Every
 * mouse event passes through.
 */
class DragOutline final {
public:
    static constexpr int kThickness = kDragOutlineWidth;
    explicit DragOutline(QWidget* parent);

    // Shows the ring with the outer rectangle `ring`, in the parent's coordinates.
    void showAt(const QRect& ring);
    void hide();

    // Whether `widget` is one of an outline's strips.
    static bool isPart(const QWidget* widget);

    // The ring's outer rectangle, in the parent's coordinates.
    QRect ring() const { return ring_; }
    bool isVisible() const { return visible_; }
    bool isHidden() const { return !visible_; }

private:
    std::array<QWidget*, 4> strips_{};
    QRect ring_;
    bool visible_ = false;
};

} // namespace velmora
