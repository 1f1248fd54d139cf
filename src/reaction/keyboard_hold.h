// SPDX-License-Identifier: MIT
#pragma once

#include "language/language.h"
#include "reaction/form_geometry.h"

#include <optional>
#include <string>

namespace velmora {

/*
 * The substrate held from the keyboard: an outline of the held control's size that the arrow keys
 * move, always wholly inside the client area (where it fits; its centre always), and whose centre
 * is where it drops. It knows where the drop target (the enzyme) lies, so each move returns what
 * to say when the centre comes over the target or leaves it, and nothing while it stays on the
 * same side, in the language it is given.
 */
class KeyboardHold final {
public:
    static constexpr int kStep = 10;    // pixels an arrow key moves the outline
    static constexpr int kFineStep = 1; // ... with Shift held

    KeyboardHold(Language language, const PixelRect& outline, const PixelRect& target, int clientWidth,
                 int clientHeight);

    const PixelRect& outline() const { return outline_; }
    PixelPoint dropPoint() const { return outline_.centre(); }
    bool overTarget() const { return target_.contains(dropPoint()); }
    // Which way the target lies from the drop point.
    Heading towardsTarget() const { return headingTo(dropPoint(), target_); }

    // Moves the outline by (dx, dy), then keeps it inside the client area. Returns the sentence
    // due when the drop point came over the target or left it.
    std::optional<std::string> moveBy(int dx, int dy);
    // The client area changed size: the outline is moved back inside it, as by a move.
    std::optional<std::string> resizeClient(int clientWidth, int clientHeight);

private:
    std::optional<std::string> settle(bool wasOver);

    Language language_;
    PixelRect outline_;
    PixelRect target_;
    int clientWidth_;
    int clientHeight_;
};

} // namespace velmora
