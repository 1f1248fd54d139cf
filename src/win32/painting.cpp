// SPDX-License-Identifier: MIT
#include "win32/painting.h"

#include "reaction/drag_outline_look.h"
#include "reaction/focus_mark.h"

#include <utility>

namespace velmora::win32 {
namespace {

constexpr int kRowBytes = (ScenePicture::kBytesPerLine + 3) & ~3; // DIB rows are whole 32-bit words

constexpr COLORREF colorRef(Rgb rgb) { return RGB(rgb.r, rgb.g, rgb.b); }

} // namespace

PictureBits::PictureBits(const ScenePicture& picture) : bits_(std::size_t{kRowBytes} * ScenePicture::kHeight) {
    info_.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info_.bmiHeader.biWidth = ScenePicture::kWidth;
    info_.bmiHeader.biHeight = -ScenePicture::kHeight; // top row first
    info_.bmiHeader.biPlanes = 1;
    info_.bmiHeader.biBitCount = 24;
    info_.bmiHeader.biCompression = BI_RGB;
    for (int y = 0; y < ScenePicture::kHeight; ++y) {
        std::uint8_t* row = bits_.data() + std::size_t{kRowBytes} * static_cast<std::size_t>(y);
        for (int x = 0; x < ScenePicture::kWidth; ++x) {
            const ScenePicture::Rgb p = picture.pixel(x, y);
            row[3 * x] = p.b;
            row[3 * x + 1] = p.g;
            row[3 * x + 2] = p.r;
        }
    }
}

SIZE PictureBits::size(const Scale& scale) const {
    return {scale.device(ScenePicture::kWidth), scale.device(ScenePicture::kHeight)};
}

void PictureBits::draw(HDC dc, POINT at, const Scale& scale) const {
    const SIZE size = this->size(scale);
    const bool wholeMultiple = scale.dpi() % Scale::kFormDpi == 0;
    SetStretchBltMode(dc, wholeMultiple ? COLORONCOLOR : HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, at.x, at.y, size.cx, size.cy, 0, 0, ScenePicture::kWidth, ScenePicture::kHeight, bits_.data(),
                  &info_, DIB_RGB_COLORS, SRCCOPY);
}

ScaledPicture::ScaledPicture(const PictureBits& picture, const Scale& scale) : size_(picture.size(scale)) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, size_.cx, size_.cy);
    ReleaseDC(nullptr, screen);
    if (memory != nullptr && bitmap_ != nullptr) {
        const HGDIOBJ old = SelectObject(memory, bitmap_);
        picture.draw(memory, {0, 0}, scale);
        SelectObject(memory, old);
    }
    if (memory != nullptr) DeleteDC(memory);
}

ScaledPicture::~ScaledPicture() {
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

ScaledPicture::ScaledPicture(ScaledPicture&& other) noexcept
    : size_(other.size_), bitmap_(std::exchange(other.bitmap_, nullptr)) {}

void ScaledPicture::draw(HDC dc, POINT at) const {
    if (bitmap_ == nullptr) return;
    HDC memory = CreateCompatibleDC(dc);
    if (memory == nullptr) return;
    const HGDIOBJ old = SelectObject(memory, bitmap_);
    BitBlt(dc, at.x, at.y, size_.cx, size_.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void fillRect(HDC dc, const RECT& rect, COLORREF color) {
    SetDCBrushColor(dc, color);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

namespace {

// A frame `width` wide just inside `r`.
void frameRect(HDC dc, const RECT& r, int width, COLORREF color) {
    fillRect(dc, {r.left, r.top, r.right, r.top + width}, color);
    fillRect(dc, {r.left, r.bottom - width, r.right, r.bottom}, color);
    fillRect(dc, {r.left, r.top + width, r.left + width, r.bottom - width}, color);
    fillRect(dc, {r.right - width, r.top + width, r.right, r.bottom - width}, color);
}

} // namespace

void drawFocusRing(HDC dc, const RECT& area, const Scale& scale) {
    const int band = scale.device(kFocusRingWidth);
    const int line = scale.device(1);
    frameRect(dc, area, band, colorRef(kFocusRingColour));
    frameRect(dc, {area.left + band, area.top + band, area.right - band, area.bottom - band}, line, RGB(255, 255, 255));
}

void drawOutlineStrip(HDC dc, const RECT& strip, POINT ringOrigin, const Scale& scale) {
    fillRect(dc, strip, colorRef(kDragOutlineGrey));
    const bool across = strip.right - strip.left >= strip.bottom - strip.top;
    const int dash = scale.device(kDragOutlineDash);
    const int period = 2 * dash;
    const int start = across ? strip.left : strip.top;
    const int end = across ? strip.right : strip.bottom;
    const int origin = across ? ringOrigin.x : ringOrigin.y;
    // The first dash at or before `start`, counted from the ring's corner.
    int at = origin + ((start - origin) / period) * period;
    if (at > start) at -= period;
    for (; at < end; at += period) {
        const RECT piece =
            across ? RECT{at, strip.top, at + dash, strip.bottom} : RECT{strip.left, at, strip.right, at + dash};
        RECT clipped;
        if (IntersectRect(&clipped, &piece, &strip)) fillRect(dc, clipped, colorRef(kDragOutlineDashColour));
    }
}

int outlineThickness(const Scale& scale) { return scale.device(kDragOutlineWidth); }

} // namespace velmora::win32
