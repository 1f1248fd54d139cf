// SPDX-License-Identifier: MIT
// The window at a larger scale of the screen: drawn and played the same, and the drag outline
// leaving no marks behind.
#include "driver.h"

#include "assets/picture_words.h"
#include "reaction/keyboard_hold.h"

#include <cmath>

namespace velmora::driver {

namespace {

// Sets the screen's dots per inch for the programs started from now on, as a pupil's display
// setting does, and puts it back at the end.
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi) {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
    }
    ~ScreenDpi() { RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels"); }
    ScreenDpi(const ScreenDpi&) = delete;
    ScreenDpi& operator=(const ScreenDpi&) = delete;
};

} // namespace

void scaledOneAndAHalfTimes(const std::wstring& exe) {
    constexpr int kDpi = 144;
    const auto scaled = [](int pixels) { return static_cast<int>(std::lround(pixels * 1.5)); };
    const ScreenDpi screenDpi(kDpi);
    const Program program(exe);
    RECT client;
    GetClientRect(program.form(), &client);
    const PixelRect size = clientRectOf(form().description());
    check(client.right == scaled(size.width) && client.bottom == scaled(size.height),
          "the client area is " + std::to_string(client.right) + " by " + std::to_string(client.bottom));
    for (const Control& c : form().controls()) {
        RECT r;
        GetWindowRect(program.window(c.name()), &r);
        MapWindowPoints(nullptr, program.form(), reinterpret_cast<POINT*>(&r), 2);
        const PixelRect w = pixelRectOf(c);
        check(std::abs(r.left - scaled(w.x)) + std::abs(r.top - scaled(w.y)) +
                      std::abs(r.right - scaled(w.x + w.width)) + std::abs(r.bottom - scaled(w.y + w.height)) <=
                  2,
              c.name() + " is 1.5 times as far in and as large");
    }
    // The pictures are drawn 1.5 times as large: the enzyme's block and the substrate's red where
    // they would be on a 1.5 times larger picture.
    const auto pixelOf = [&](const std::string& name, int x, int y) {
        POINT at{scaled(x), scaled(y)};
        MapWindowPoints(program.window(name), program.form(), &at, 1);
        return capture(program).at(at.x, at.y);
    };
    eventually(
        [&] {
            return pixelOf("Picture1", 40, 180) == Rgb{0, 0, 0} && pixelOf("Picture2", 60, 60) == Rgb{255, 0, 0} &&
                   pixelOf("Picture1", 100, 60) == Rgb{255, 255, 255};
        },
        [] { return "the pictures are not drawn 1.5 times as large"; });
    const PixelRect heading = pixelRectOf(control("Label1"));
    expectCaption(program, control("Label1"),
                  {scaled(heading.x), scaled(heading.y), scaled(heading.width), scaled(heading.height)}, kDpi);

    // A drop in the enzyme's strip right of its picture binds, at this scale too; the outline
    // follows the pointer.
    const PixelRect enzyme = pixelRectOf(control("Picture1"));
    const PixelPoint grab = centreOf("Picture2");
    const PixelPoint drop{enzyme.x + kPictureAreaFrameWidth + ScenePicture::kWidth + 30, enzyme.y + 60};
    const PixelRect substrate = pixelRectOf(control("Picture2"));
    mouseTo(program, {scaled(grab.x), scaled(grab.y)});
    mouseButton(true);
    mouseTo(program, {scaled(drop.x), scaled(drop.y)});
    const PixelPoint expected{scaled(substrate.x + drop.x - grab.x), scaled(substrate.y + drop.y - grab.y)};
    eventually(
        [&] {
            const auto ring = program.outline();
            return ring && std::abs(ring->x - expected.x) <= 2 && std::abs(ring->y - expected.y) <= 2 &&
                   std::abs(ring->width - scaled(substrate.width)) <= 1;
        },
        [] { return "the outline does not follow the pointer at 144 dots per inch"; });
    mouseButton(false);
    program.expectShown(kBound, "a drop on the enzyme at 144 dots per inch");
}
// At `dpi`, the drag outline leaves nothing behind on the pictures it crossed: after a hold put
// back with Escape and after a missed drop, the window shows pixel for pixel what a whole repaint
// shows.
void noMarksBehindTheOutline(const std::wstring& exe, int dpi) {
    const ScreenDpi screenDpi(static_cast<DWORD>(dpi));
    const Program program(exe);
    const auto device = [dpi](PixelPoint p) {
        return PixelPoint{static_cast<int>(std::lround(p.x * dpi / 96.0)),
                          static_cast<int>(std::lround(p.y * dpi / 96.0))};
    };
    const auto expectClean = [&](const Capture& clean, const std::string& when) {
        std::size_t differ = 0;
        eventually(
            [&] {
                const Capture now = capture(program);
                differ = 0;
                for (std::size_t i = 0; i < now.pixels.size() && i < clean.pixels.size(); ++i)
                    differ += now.pixels[i] != clean.pixels[i];
                return differ == 0 && now.pixels.size() == clean.pixels.size();
            },
            [&] {
                return "after " + when + " at " + std::to_string(dpi) + " dots per inch " + std::to_string(differ) +
                       " pixels differ from the window wholly repainted";
            });
    };
    // Taken up from the keyboard, moved down and right over the enzyme and put back with Escape.
    press(VK_TAB);
    program.expectFocus("Picture2", "Tab");
    const Capture withRing = repainted(program);
    press(VK_SPACE);
    for (int step = 0; step < 11; ++step) press(VK_DOWN);
    for (int step = 0; step < 5; ++step) press(VK_RIGHT);
    const PixelRect substrate = pixelRectOf(control("Picture2"));
    const PixelPoint held = device({substrate.x + 5 * KeyboardHold::kStep, substrate.y + 11 * KeyboardHold::kStep});
    waitFor(
        [&] {
            const auto ring = program.outline();
            return ring && std::abs(ring->x - held.x) <= 1 && std::abs(ring->y - held.y) <= 1;
        },
        "the outline over the enzyme");
    press(VK_ESCAPE);
    program.waitForOutline(std::nullopt, "gone after Escape");
    expectClean(withRing, "a hold put back");

    // Dragged with the mouse across the enzyme and dropped on the form beside it.
    const PixelPoint beside{80, 450};
    click(program, device(beside));
    const Capture clean = repainted(program);
    const PixelPoint grab = centreOf("Picture2");
    const PixelPoint enzyme = centreOf("Picture1");
    mouseTo(program, device(grab));
    mouseButton(true);
    for (int step = 1; step <= 8; ++step) {
        const PixelPoint to = step <= 4 ? enzyme : beside;
        const PixelPoint from = step <= 4 ? grab : enzyme;
        const int part = step <= 4 ? step : step - 4;
        mouseTo(program, device({from.x + (to.x - from.x) * part / 4, from.y + (to.y - from.y) * part / 4}));
    }
    mouseButton(false);
    program.waitForOutline(std::nullopt, "gone after the drop");
    program.expectShown(kApart, "a drop beside the enzyme");
    expectClean(clean, "a missed drop");
}

} // namespace velmora::driver
