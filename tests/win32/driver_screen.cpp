// SPDX-License-Identifier: MIT
// The screen as the lesson driver reads it: the form's client area captured, and what it must show
// for the visible controls, pixel for pixel where the program draws and by the ink's size where
// the system draws text.
#include "driver.h"

#include "assets/picture_words.h"
#include "reaction/focus_mark.h"
#include "reaction/lesson_texts.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <utility>

namespace velmora::driver {
namespace {

// A picture of `width` by `height` pixels made by `draw` on a device context of its own.
Capture drawn(int width, int height, const std::function<void(HDC)>& draw) {
    Capture out;
    out.width = width;
    out.height = height;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC memory = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    draw(memory);
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    out.pixels.assign(first, first + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return out;
}

Rgb system(OleColor color) {
    const COLORREF c = isSystemColor(color) ? GetSysColor(static_cast<int>(color & 0xFF)) : color;
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// The size of the ink in `area`: the box around the pixels that differ clearly from `ground`.
SIZE inkSize(const Capture& screen, const PixelRect& area, Rgb ground) {
    RECT box{area.x + area.width, area.y + area.height, area.x, area.y};
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x) {
            const Rgb p = screen.at(x, y);
            if (std::abs(p.r - ground.r) + std::abs(p.g - ground.g) + std::abs(p.b - ground.b) < 192) continue;
            box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                   std::max<LONG>(box.bottom, y + 1)};
        }
    return {std::max<LONG>(0, box.right - box.left), std::max<LONG>(0, box.bottom - box.top)};
}

// The size of the ink of the caption of `control` as GDI draws it here in the control's font (or
// the one Velmora.exe takes for letters that font lacks), colours and ground at `dpi`.
SIZE inkOf(const Control& control, int dpi = 96) {
    const FontSpec& font = *control.record().font;
    const Rgb ground = system(control.record().effectiveBackColor());
    const Rgb ink = system(control.record().effectiveForeColor());
    const Capture text = drawn(600, 150, [&](HDC memory) {
        LOGFONTW logFont{};
        logFont.lfHeight = -(font.sizeTenThousandths * dpi + 360000) / 720000;
        logFont.lfWeight = font.weight;
        logFont.lfCharSet = font.charset;
        wcsncpy(logFont.lfFaceName, widen(font.family).c_str(), LF_FACESIZE - 1);
        const std::wstring caption = widen(captionText(language(), control));
        HFONT made = win32::fontFor(logFont, caption);
        HGDIOBJ old = SelectObject(memory, made);
        const RECT all{0, 0, 600, 150};
        SetDCBrushColor(memory, RGB(ground.r, ground.g, ground.b));
        FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        SetTextColor(memory, RGB(ink.r, ink.g, ink.b));
        SetBkMode(memory, TRANSPARENT);
        TextOutW(memory, 20, 20, caption.c_str(), static_cast<int>(caption.size()));
        SelectObject(memory, old);
        DeleteObject(made);
    });
    return inkSize(text, {0, 0, text.width, text.height}, ground);
}

std::string describe(Rgb c) {
    char text[24];
    std::snprintf(text, sizeof text, "(%d, %d, %d)", c.r, c.g, c.b);
    return text;
}

/*
 * What is wrong with the screen for the controls `shown`: every picture area shows its picture 1:1
 * at its inner top-left and its own back colour beside and below it; the heading its back colour
 * with text in its fore colour; everywhere outside the controls the form's colour. `ring` is the
 * control that shows the keyboard focus mark, whose band is checked instead of the picture.
 */
std::vector<std::string> screenProblems(const Capture& screen, const Names& shown, const std::string& ring) {
    std::vector<std::string> problems;
    const auto expect = [&](int x, int y, Rgb want, const std::string& what) {
        if (problems.size() < 5 && !(screen.at(x, y) == want))
            problems.push_back(what + " at (" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                               describe(screen.at(x, y)) + ", not " + describe(want));
    };
    std::vector<PixelRect> covered;
    for (const std::string& name : shown) {
        const Control& c = control(name);
        const PixelRect r = pixelRectOf(c);
        covered.push_back(r);
        if (c.kind() == ControlKind::Label) {
            expect(r.x, r.y, system(c.record().effectiveBackColor()), name + "'s ground");
            int text = 0;
            for (int y = r.y; y < r.y + r.height; ++y)
                for (int x = r.x; x < r.x + r.width; ++x)
                    text += screen.at(x, y) == system(c.record().effectiveForeColor());
            if (text == 0) problems.push_back(name + " shows no text");
        }
        if (c.kind() != ControlKind::PictureArea) continue;
        const ScenePicture picture = lessonPicture(*c.record().picture, language());
        const int frame = kPictureAreaFrameWidth;
        // The frame: the system's sunken edge, as DrawEdge draws it.
        const Capture edge = drawn(r.width, r.height, [&](HDC memory) {
            RECT all{0, 0, r.width, r.height};
            DrawEdge(memory, &all, EDGE_SUNKEN, BF_RECT);
        });
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x)
                if (x < frame || y < frame || x >= r.width - frame || y >= r.height - frame)
                    expect(r.x + x, r.y + y, edge.at(x, y), name + "'s frame");
        const int width = r.width - 2 * frame;
        const int height = r.height - 2 * frame;
        const int band = name == ring ? kFocusRingWidth + 1 : 0;
        for (int y = band; y < height - band; ++y)
            for (int x = band; x < width - band; ++x) {
                const bool inPicture = x < ScenePicture::kWidth && y < ScenePicture::kHeight;
                const ScenePicture::Rgb p = inPicture ? picture.pixel(x, y) : ScenePicture::Rgb{};
                expect(r.x + frame + x, r.y + frame + y,
                       inPicture ? Rgb{p.r, p.g, p.b} : system(c.record().effectiveBackColor()), name);
            }
        if (band != 0) {
            expect(r.x + frame + 1, r.y + r.height / 2, kFocusRingColour, name + "'s focus mark");
            expect(r.x + frame + kFocusRingWidth, r.y + r.height / 2, Rgb{255, 255, 255}, name + "'s focus mark");
        }
    }
    const Rgb back = system(form().description().backColor);
    for (int y = 0; y < screen.height; y += 3)
        for (int x = 0; x < screen.width; x += 3) {
            const auto inside = [&](const PixelRect& r) { return r.contains({x, y}); };
            if (std::none_of(covered.begin(), covered.end(), inside)) expect(x, y, back, "the form");
        }
    return problems;
}

} // namespace

Capture capture(const Program& program) {
    RECT client;
    GetClientRect(program.form(), &client);
    POINT origin{0, 0};
    ClientToScreen(program.form(), &origin);
    return drawn(client.right, client.bottom, [&](HDC memory) {
        HDC screen = GetDC(nullptr);
        BitBlt(memory, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
        ReleaseDC(nullptr, screen);
    });
}

Capture repainted(const Program& program) {
    RedrawWindow(program.form(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Capture last = capture(program);
    int unchanged = 0;
    waitFor(
        [&] {
            Capture now = capture(program);
            unchanged = now.pixels == last.pixels ? unchanged + 1 : 0;
            last = std::move(now);
            return unchanged >= 5;
        },
        "the window to be repainted");
    return last;
}

void expectCaption(const Program& program, const Control& control, const PixelRect& face, int dpi) {
    const SIZE drawn = inkOf(control, dpi);
    SIZE onScreen{};
    eventually(
        [&] {
            onScreen = inkSize(capture(program), face, system(control.record().effectiveBackColor()));
            return std::abs(onScreen.cx - drawn.cx) <= 1 && std::abs(onScreen.cy - drawn.cy) <= 1;
        },
        [&] {
            return control.name() + "'s caption is " + std::to_string(onScreen.cx) + " by " +
                   std::to_string(onScreen.cy) + " pixels, not " + std::to_string(drawn.cx) + " by " +
                   std::to_string(drawn.cy);
        });
}

void expectScreen(const Program& program, const Names& shown, const std::string& ring, const std::string& when) {
    std::vector<std::string> problems;
    eventually([&] { return (problems = screenProblems(capture(program), shown, ring)).empty(); },
               [&] {
                   std::string all = "after " + when + ":";
                   for (const std::string& problem : problems) all += "\n    " + problem;
                   return all;
               });
}

} // namespace velmora::driver
