// SPDX-License-Identifier: MIT
#pragma once

#include "reaction/lesson_texts.h"
#include "reaction/stage.h"
#include "runtime/event_sink.h"

#include <optional>
#include <string>

namespace velmora {

// Pixel geometry in the form's client area, the unit both presentations draw in.
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

// The rectangle of a control of the form, in pixels of the client area.
PixelRect pixelRectOf(const Control& control);

// The visible control under `point` (client pixels), topmost first; nullptr for the form itself.
Control* controlAt(FormModel& form, PixelPoint point);

// What a drop of `source` at `point` hands the handler: the point in `target`'s own coordinates
// (inside a picture area's frame), in twips; for the form (no target), in the form's.
EventArgs dropArguments(Control& source, const Control* target, PixelPoint point);

// Which way `target` lies from `from`; level (0) on an axis where `from` is within the target.
Heading headingTo(PixelPoint from, const PixelRect& target);

// What to say after a handler ran, from the stage before and after it. A drop that changed nothing
// is said to have missed; any other event that changed nothing says nothing.
std::optional<Announcement> announcementAfter(Stage before, Stage after, bool wasDrop);

/*
 * The substrate held from the keyboard: an outline of the held control's size that the arrow keys
 * move, always wholly inside the client area (where it fits; its centre always), and whose centre
 * is where it drops. It knows where
 * the drop target (the enzyme) lies, so each move returns what to say when the centre comes over
 * the target or leaves it, and nothing while it stays on the same side.
 */
class KeyboardHold final {
public:
    static constexpr int kStep = 10;    // pixels an arrow key moves the outline
    static constexpr int kFineStep = 1; // ... with Shift held

    KeyboardHold(const PixelRect& outline, const PixelRect& target, int clientWidth, int clientHeight);

    const PixelRect& outline() const { return outline_; }
    PixelPoint dropPoint() const { return outline_.centre(); }
    bool overTarget() const { return target_.contains(dropPoint()); }

    // What to say on picking up: where the enzyme lies and which key leads there.
    std::string pickedUpText() const;
    // Moves the outline by (dx, dy), then keeps it inside the client area. Returns the sentence
    // due when the drop point came over the target or left it.
    std::optional<std::string> moveBy(int dx, int dy);
    // The client area changed size: the outline is moved back inside it, as by a move.
    std::optional<std::string> resizeClient(int clientWidth, int clientHeight);

private:
    std::optional<std::string> settle(bool wasOver);

    PixelRect outline_;
    PixelRect target_;
    int clientWidth_;
    int clientHeight_;
};

} // namespace velmora
