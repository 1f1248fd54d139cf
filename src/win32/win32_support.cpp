// SPDX-License-Identifier: MIT
#include "win32/win32_support.h"

#include <algorithm>
#include <cwchar>

namespace velmora::win32 {
namespace {

// a / b rounded down, for b > 0 and any a.
long long floorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// A user32 function that older Windows lacks, or nullptr there.
template <class Function>
Function user32Function(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

} // namespace

HMODULE systemLibrary(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + std::wcslen(name) >= MAX_PATH) return nullptr;
    return LoadLibraryW((std::wstring(path, length) + L"\\" + name).c_str());
}

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const int length = static_cast<int>(utf16.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

std::vector<std::string> userLanguageTags() {
    ULONG count = 0;
    ULONG size = 0;
    if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) || size == 0) return {};
    std::wstring names(size, L'\0');
    if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names.data(), &size)) return {};
    // One name after the other, each ended by a zero, the list by another.
    std::vector<std::string> tags;
    for (std::size_t at = 0; at < names.size() && names[at] != L'\0';) {
        const std::size_t end = names.find(L'\0', at);
        tags.push_back(narrow(std::wstring_view(names).substr(at, end - at)));
        at = end + 1;
    }
    return tags;
}

COLORREF colorRef(OleColor color) {
    if (isSystemColor(color) && (color & 0x7FFFFF00u) == 0) return GetSysColor(static_cast<int>(color & 0xFFu));
    const Rgb rgb = resolveColor(color).value_or(Rgb{});
    return RGB(rgb.r, rgb.g, rgb.b);
}

int Scale::device(int formPixels) const {
    // Nearest device pixel, halves up: floor(v * dpi / 96 + 1/2).
    return static_cast<int>(floorDiv(2LL * formPixels * dpi_ + kFormDpi, 2LL * kFormDpi));
}

RECT Scale::device(const PixelRect& r) const {
    return {device(r.x), device(r.y), device(r.x + r.width), device(r.y + r.height)};
}

int Scale::form(int p) const {
    // The k with device(k) <= p < device(k + 1): ceil((p + 1/2) * 96 / dpi) - 1.
    const long long numerator = (2LL * p + 1) * kFormDpi;
    const long long denominator = 2LL * dpi_;
    return static_cast<int>(floorDiv(numerator + denominator - 1, denominator) - 1);
}

PixelPoint Scale::form(POINT p) const { return {form(static_cast<int>(p.x)), form(static_cast<int>(p.y))}; }

LOGFONTW Scale::logFont(const FontSpec& font) const {
    LOGFONTW out{};
    // Points to pixels at this scale: size / 10000 * dpi / 72, to the nearest pixel.
    out.lfHeight = -static_cast<LONG>(floorDiv(2LL * font.sizeTenThousandths * dpi_ + 720000, 1440000));
    out.lfWeight = font.bold ? FW_BOLD : font.weight;
    out.lfItalic = font.italic;
    out.lfUnderline = font.underline;
    out.lfStrikeOut = font.strikethrough;
    out.lfCharSet = font.charset;
    out.lfOutPrecision = OUT_DEFAULT_PRECIS;
    out.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    out.lfQuality = DEFAULT_QUALITY;
    out.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring family = widen(font.family);
    std::wcsncpy(out.lfFaceName, family.c_str(), LF_FACESIZE - 1);
    return out;
}

namespace {

// Whether `font` has a glyph for every letter of `text`.
bool drawsEvery(HFONT font, std::wstring_view text) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return true;
    const HGDIOBJ before = SelectObject(dc, font);
    std::vector<WORD> glyphs(text.size());
    const DWORD found =
        GetGlyphIndicesW(dc, text.data(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, before);
    DeleteDC(dc);
    return found != GDI_ERROR && std::find(glyphs.begin(), glyphs.end(), WORD{0xFFFF}) == glyphs.end();
}

} // namespace

HFONT fontFor(const LOGFONTW& wanted, std::wstring_view text) {
    static constexpr const wchar_t* kFallbacks[] = {L"Segoe UI",    L"Microsoft YaHei",  L"Tahoma",
                                                    L"DejaVu Sans", L"Noto Sans CJK SC", L"Noto Sans"};
    HFONT font = CreateFontIndirectW(&wanted);
    if (font == nullptr || drawsEvery(font, text)) return font;
    for (const wchar_t* family : kFallbacks) {
        LOGFONTW other = wanted;
        other.lfCharSet = DEFAULT_CHARSET;
        std::wcsncpy(other.lfFaceName, family, LF_FACESIZE - 1);
        HFONT candidate = CreateFontIndirectW(&other);
        if (candidate != nullptr && drawsEvery(candidate, text)) {
            DeleteObject(font);
            return candidate;
        }
        if (candidate != nullptr) DeleteObject(candidate);
    }
    return font;
}

int dpiOf(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto perWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (perWindow != nullptr && window != nullptr) {
        if (const UINT dpi = perWindow(window); dpi != 0) return static_cast<int>(dpi);
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : Scale::kFormDpi;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : Scale::kFormDpi;
}

SIZE windowSizeFor(SIZE client, DWORD style, DWORD exStyle, int dpi) {
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    RECT r{0, 0, client.cx, client.cy};
    if (adjustForDpi == nullptr || !adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

} // namespace velmora::win32
