// SPDX-License-Identifier: MIT
#pragma once

#include "model/form_model.h"
#include "runtime/event_sink.h"

namespace velmora {

// Pixel geometry in the form's client area, the unit every presentation draws in and reports
// pointer positions in.
struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(PixelPoint, PixelPoint) = default;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool contains(PixelPoint p) const { return p.x >= x && p.x < x + width && p.y >= y && p.y < y + height; }
    // The middle pixel, rounded up and to the left for even sizes.
    PixelPoint centre() const { return {x + (width - 1) / 2, y + (height - 1) / 2}; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The client area of the form as described, in pixels.
PixelRect clientRectOf(const FormDescription& form);

// The rectangle of a control of the form, in pixels of the client area.
PixelRect pixelRectOf(const Control& control);

// The hit test of every gesture: the visible control under `point` (client pixels), topmost
// first; nullptr for the form itself and for a point outside `client`, the client area as the
// window has it now (a control cut off by a smaller window is not there to hit).
Control* controlAt(FormModel& form, PixelPoint point, const PixelRect& client);

// What a drop of `source` at `point` hands the handler: the point in `target`'s own coordinates
// (inside a picture area's frame), in twips; for the form (no target), in the form's.
EventArgs dropArguments(Control& source, const Control* target, PixelPoint point);

// Which way a place lies from another: -1 left or above, 0 level with it, 1 right or below.
struct Heading {
    int horizontal = 0;
    int vertical = 0;
    friend bool operator==(Heading, Heading) = default;
};

// Which way `target` lies from `from`; level (0) on an axis where `from` is within the target.
Heading headingTo(PixelPoint from, const PixelRect& target);

} // namespace velmora
