// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

namespace velmora {

// A twip is 1/1440 inch, so at 96 dots per inch a screen pixel is 15 twips. Every edition works
// in device-independent pixels at 96 dots per inch, so this is the one scale the lesson uses; a
// high-density screen is scaled up by the Qt toolkit on the desktop, and by the Windows program
// and the web page themselves.
inline constexpr int kTwipsPerPixel = 15;

// The whole number of pixels that `twips` covers at `twipsPerPixel`, or nothing when the length
// does not fall on a pixel boundary or the scale is not positive.
constexpr std::optional<int> exactPixels(int twips, int twipsPerPixel) {
    if (twipsPerPixel <= 0 || twips % twipsPerPixel != 0) return std::nullopt;
    return twips / twipsPerPixel;
}

// `twips` in pixels at `twipsPerPixel`, rounded to the nearest pixel (halves away from zero).
// Precondition: twipsPerPixel > 0.
constexpr int pixelsFromTwips(int twips, int twipsPerPixel) {
    const int half = twipsPerPixel / 2;
    return twips >= 0 ? (twips + half) / twipsPerPixel : -((-twips + half) / twipsPerPixel);
}

// `pixels` in twips at `twipsPerPixel`.
constexpr float twipsFromPixels(float pixels, int twipsPerPixel) { return pixels * static_cast<float>(twipsPerPixel); }

} // namespace velmora
