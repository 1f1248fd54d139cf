// SPDX-License-Identifier: MIT
#include "reaction/keyboard_hold.h"

#include "reaction/lesson_texts.h"

#include <algorithm>
#include <utility>

namespace velmora {

KeyboardHold::KeyboardHold(Language language, const PixelRect& outline, const PixelRect& target, int clientWidth,
                           int clientHeight)
    : language_(std::move(language)), outline_(outline), target_(target), clientWidth_(clientWidth),
      clientHeight_(clientHeight) {
    (void)settle(overTarget());
}

std::optional<std::string> KeyboardHold::moveBy(int dx, int dy) {
    const bool wasOver = overTarget();
    outline_.x += dx;
    outline_.y += dy;
    return settle(wasOver);
}

std::optional<std::string> KeyboardHold::resizeClient(int clientWidth, int clientHeight) {
    const bool wasOver = overTarget();
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
    return settle(wasOver);
}

std::optional<std::string> KeyboardHold::settle(bool wasOver) {
    // An outline larger than the client area keeps its top-left corner in view, and the drop
    // point stays inside even where the client area is smaller than half the outline.
    outline_.x = std::max(0, std::min(outline_.x, clientWidth_ - outline_.width));
    outline_.y = std::max(0, std::min(outline_.y, clientHeight_ - outline_.height));
    const PixelPoint centre = outline_.centre();
    outline_.x -= std::max(0, centre.x - (clientWidth_ - 1));
    outline_.y -= std::max(0, centre.y - (clientHeight_ - 1));
    if (overTarget() == wasOver) return std::nullopt;
    return offTargetText(language_, towardsTarget());
}

} // namespace velmora
