// SPDX-License-Identifier: MIT
#include "reaction/form_geometry.h"

#include "model/twips.h"

namespace velmora {
namespace {

int px(int twips) { return pixelsFromTwips(twips, kTwipsPerPixel); }

} // namespace

PixelRect clientRectOf(const FormDescription& form) { return {0, 0, px(form.clientWidth), px(form.clientHeight)}; }

PixelRect pixelRectOf(const Control& control) {
    const ControlRecord& r = control.record();
    return {px(r.left), px(r.top), px(r.width), px(r.height)};
}

Control* controlAt(FormModel& form, PixelPoint point, const PixelRect& client) {
    if (!client.contains(point)) return nullptr;
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

} // namespace velmora
