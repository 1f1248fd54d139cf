// SPDX-License-Identifier: MIT
#pragma once

#include "assets/scene_picture.h"
#include "win32/win32_support.h"

#include "win32/windows_headers.h"

#include <cstdint>
#include <vector>

namespace velmora::win32 {

/*
 * A scene picture in the form GDI draws: a top-down DIB of 24-bit pixels. Drawn whole with its
 * top-left corner at a point, one picture pixel per form pixel: 1:1 at 96 dots per inch, pixel for
 * pixel enlarged at a whole multiple of it, smoothed at any other scale.
 */
class PictureBits final {
public:
    explicit PictureBits(const ScenePicture& picture);
    void draw(HDC dc, POINT at, const Scale& scale) const;
    SIZE size(const Scale& scale) const;

private:
    BITMAPINFO info_{};
    std::vector<std::uint8_t> bits_;
};

/*
 * A scene picture drawn once at one scale into a bitmap of its own, from which any part of it is
 * copied pixel for pixel. A smoothed picture drawn piece by piece (a repaint of only the part a
 * drag outline uncovered) would not give the pixels the whole picture gives; copies of one drawing
 * always do. An empty picture (no bitmap to be had) draws nothing.
 */
class ScaledPicture final {
public:
    ScaledPicture(const PictureBits& picture, const Scale& scale);
    ~ScaledPicture();
    ScaledPicture(ScaledPicture&& other) noexcept;
    ScaledPicture& operator=(ScaledPicture&&) = delete;
    ScaledPicture(const ScaledPicture&) = delete;
    ScaledPicture& operator=(const ScaledPicture&) = delete;

    // Copies the picture to `dc` with its top-left corner at `at`, as far as the clip allows.
    void draw(HDC dc, POINT at) const;
    SIZE size() const { return size_; }

private:
    SIZE size_{};
    HBITMAP bitmap_ = nullptr;
};

void fillRect(HDC dc, const RECT& rect, COLORREF color);

// The lesson's keyboard focus mark just inside `area`: a blue band with a white line inside it.
void drawFocusRing(HDC dc, const RECT& area, const Scale& scale);

// How wide each strip of the drag outline is, in device pixels.
int outlineThickness(const Scale& scale);

// One of the four strips of the drag outline, filling `strip` (its own client rectangle): grey
// with white dashes. `ringOrigin` is the outline's top-left corner in the strip's coordinates, so
// the dashes of the four strips make one pattern around the ring.
void drawOutlineStrip(HDC dc, const RECT& strip, POINT ringOrigin, const Scale& scale);

} // namespace velmora::win32
