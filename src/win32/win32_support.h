// SPDX-License-Identifier: MIT
#pragma once

#include "model/control_record.h"
#include "model/ole_color.h"
#include "reaction/form_geometry.h"

#include "win32/windows_headers.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmora::win32 {

// A library of Windows' own, from the system folder only: never a file of that name that lies
// beside the program (on a USB stick, in a downloads folder). nullptr where it cannot be loaded.
HMODULE systemLibrary(const wchar_t* name);

// A function of a library loaded with systemLibrary(), or nullptr where it or the library is missing.
template <class Function>
Function systemFunction(HMODULE library, const char* name) {
    return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

// `utf8` as UTF-16, the text every W function of Windows takes, and back.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// The user's Windows display languages in order of preference, as language tags ("de-AT").
std::vector<std::string> userLanguageTags();

// The colour `color` stands for here: a system colour is the system's own (GetSysColor), so a
// pupil's colour scheme applies; an RGB value is itself; anything else is black.
COLORREF colorRef(OleColor color);

/*
 * The form is described at 96 dots per inch. On a screen with more, every length, font and picture
 * is drawn larger by dpi / 96, and pointer positions are turned back into the form's own pixels
 * before the lesson sees them. Returns whole device pixels; an edge at a fractional position goes
 * to the nearest one, so adjacent rectangles stay adjacent.
 */
class Scale final {
public:
    static constexpr int kFormDpi = 96;

    explicit Scale(int dpi = kFormDpi) : dpi_(dpi > 0 ? dpi : kFormDpi) {}
    int dpi() const { return dpi_; }
    bool isOne() const { return dpi_ == kFormDpi; }

    // A length, or a coordinate, in form pixels as device pixels.
    int device(int formPixels) const;
    RECT device(const PixelRect& rect) const;
    // The form pixel that covers device pixel `p` (an edge between two form pixels belongs to the
    // right or lower one, as device() rounds it).
    PixelPoint form(POINT p) const;
    int form(int devicePixels) const;

    // The font as GDI creates it at this scale.
    LOGFONTW logFont(const FontSpec& font) const;

private:
    int dpi_;
};

// A font made from `wanted` for `text`: `wanted` itself where it has a glyph for every letter of
// `text`, else the first of a few families that has them all (Segoe UI, Microsoft YaHei and Tahoma
// on Windows; Noto and DejaVu fonts under Wine), since GDI finds another font for a missing letter
// only for some families. Null when GDI makes no font at all.
HFONT fontFor(const LOGFONTW& wanted, std::wstring_view text);

// The dots per inch of `window` (of the whole system where Windows cannot say per window).
int dpiOf(HWND window);

// Sizes a window with `style` so that its client area is `client` device pixels at `dpi`.
SIZE windowSizeFor(SIZE client, DWORD style, DWORD exStyle, int dpi);

} // namespace velmora::win32
