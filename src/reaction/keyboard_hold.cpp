// SPDX-License-Identifier: MIT
#include "reaction/keyboard_hold.h"

#include "model/twips.h"

#include <algorithm>

namespace velmora {

PixelRect pixelRectOf(const Control& control) {
    const ControlRecord& r = control.record();
    const auto px = [](int twips) { return pixelsFromTwips(twips, kTwipsPerPixel); };
    return {px(r.left), px(r.top), px(r.width), px(r.height)};
}

Control* controlAt(FormModel& form, PixelPoint point) {
    for (Control& control : form.controls())
        if (control.visible() && pixelRectOf(control).contains(point)) return &control;
    return nullptr;
}

EventArgs dropArguments(Control& source, const Control* target, PixelPoint point) {
    PixelPoint local = point;
    if (target != nullptr) {
        const PixelRect rect = pixelRectOf(*target);
        const int frame = target->kind() == ControlKind::PictureArea ? kPictureAreaFrameWidth : 0;
        local = {point.x - rect.x - frame, point.y - rect.y - frame};
    }
    return {&source, twipsFromPixels(static_cast<float>(local.x), kTwipsPerPixel),
            twipsFromPixels(static_cast<float>(local.y), kTwipsPerPixel)};
}

Heading headingTo(PixelPoint from, const PixelRect& target) {
    const auto axis = [](int p, int start, int length) { return p < start ? 1 : p >= start + length ? -1 : 0; };
    return {axis(from.x, target.x, target.width), axis(from.y, target.y, target.height)};
}

std::optional<Announcement> announcementAfter(Stage before, Stage after, bool wasDrop) {
    if (before == after) return wasDrop ? std::optional(Announcement::Missed) : std::nullopt;
    switch (after) {
    case Stage::Bound: return Announcement::Bound;
    case Stage::Released: return Announcement::Released;
    case Stage::Apart: return Announcement::Reset;
    case Stage::Other: break;
    }
    return std::nullopt;
}

KeyboardHold::KeyboardHold(const PixelRect& outline, const PixelRect& target, int clientWidth, int clientHeight)
    : outline_(outline), target_(target), clientWidth_(clientWidth), clientHeight_(clientHeight) {
    (void)settle(overTarget());
}

std::string KeyboardHold::pickedUpText() const { return velmora::pickedUpText(headingTo(dropPoint(), target_)); }

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
    return offTargetText(headingTo(dropPoint(), target_));
}

} // namespace velmora
