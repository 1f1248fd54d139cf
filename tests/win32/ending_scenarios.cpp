// SPDX-License-Identifier: MIT
// How the program ends: after a run-time error with one box and status 1, and at once when the
// window is closed, from any state.
#include "driver.h"

#include "reaction/lesson_session.h"
#include "reaction/lesson_texts.h"
#include "refusal.h"
#include "runtime/project_description.h"

#include <chrono>
#include <cstdio>

namespace velmora::driver {

void failureEndsTheProgram(const std::wstring& exe) {
    // What the box must say: the core's own text for the error the injected failure raises.
    LessonSession expected(language(), refuseShowingTheSubstrate);
    const PointerId mouse = 1;
    (void)expected.pointerPressed(mouse, centreOf("Picture2"));
    (void)expected.pointerReleased(mouse, centreOf("Picture1"));
    const LessonStep failing = expected.activate(control("Command1"));
    check(failing.error.has_value(), "the injected failure fails the Reset");
    const std::string text = failing.error ? errorBoxText(language(), *failing.error) : "";

    const Program program(exe);
    dragSubstrate(program, centreOf("Picture2"), centreOf("Picture1"));
    program.expectShown(kBound, "the drop");
    click(program, centreOf("Command1"));
    HWND box = nullptr;
    waitFor([&] { return (box = program.topWindow("#32770")) != nullptr; }, "the error box");
    check(windowText(box) == kVelmoraProject.title, "the box is captioned \"" + windowText(box) + "\"");
    wchar_t said[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, said, 1024);
    check(narrow(said) == text, "the box says \"" + narrow(said) + "\"");
    // The step before the failure stays done: the enzyme is back, the complex not yet gone.
    program.expectShown({"Label1", "Command1", "Picture1", "Picture4"}, "the failing Reset");
    check(program.waitForExit(200).has_value() == false, "the program waits for the box");

    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    const auto status = program.waitForExit(10000);
    check(status.has_value() && *status == kExitOnError, "the program ends with status 1 once the box is closed");
}

namespace {

// A way of closing the window: it finds what it needs first and returns the closing itself,
// which is timed.
using Close = std::function<std::function<void()>(const Program&)>;

// Where the frame says its close box is, clicked with the mouse.
std::function<void()> closeBox(const Program& program) {
    RECT frame;
    GetWindowRect(program.form(), &frame);
    for (int x = frame.right - 1; x > frame.left; --x)
        for (int y = frame.top; y < frame.top + 40; ++y)
            if (SendMessageW(program.form(), WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                POINT at{x, y};
                ScreenToClient(program.form(), &at);
                return [&program, at] { click(program, {at.x, at.y}); };
            }
    check(false, "the frame has a close box");
    return [] {};
}

std::function<void()> altF4(const Program&) {
    return [] { press(VK_F4, VK_MENU); };
}

Close posting(UINT message, WPARAM wParam) {
    return [=](const Program& p) -> std::function<void()> {
        return [&p, message, wParam] { PostMessageW(p.form(), message, wParam, 0); };
    };
}

} // namespace

void closingEndsAtOnce(const std::wstring& exe) {
    const PixelRect substrate = pixelRectOf(control("Picture2"));
    const std::function<void(const Program&)> start = [](const Program&) {};
    const std::function<void(const Program&)> dragging = [&](const Program& program) {
        mouseTo(program, centreOf("Picture2"));
        mouseButton(true);
        program.waitForOutline(PixelPoint{substrate.x, substrate.y}, "after the press");
    };
    const std::function<void(const Program&)> holding = [&](const Program& program) {
        press(VK_TAB);
        program.expectFocus("Picture2", "Tab");
        press(VK_SPACE);
        program.waitForOutline(PixelPoint{substrate.x, substrate.y}, "after Space");
    };
    const std::function<void(const Program&)> bound = [](const Program& program) {
        dragSubstrate(program, centreOf("Picture2"), centreOf("Picture1"));
        program.expectShown(kBound, "the drop");
    };
    const std::function<void(const Program&)> released = [&](const Program& program) {
        bound(program);
        click(program, centreOf("Picture4"));
        program.expectShown(kReleased, "the click on the complex");
    };
    const struct {
        const char* state;
        std::function<void(const Program&)> reach;
        const char* means;
        Close close;
    } cases[] = {{"the start", start, "the close box", closeBox},
                 {"a drag", dragging, "Alt+F4", altF4},
                 {"a keyboard hold", holding, "the system menu's Close", posting(WM_SYSCOMMAND, SC_CLOSE)},
                 {"the complex", bound, "WM_CLOSE", posting(WM_CLOSE, 0)},
                 {"the products", released, "the close box", closeBox}};
    for (const auto& c : cases) {
        const Program program(exe);
        c.reach(program);
        const std::function<void()> close = c.close(program);
        const auto began = std::chrono::steady_clock::now();
        close();
        const auto status = program.waitForExit(5000);
        const auto took = std::chrono::steady_clock::now() - began;
        mouseButton(false);
        check(status.has_value() && *status == 0,
              std::string("closing at ") + c.state + " with " + c.means + " ends the program with status 0");
        std::printf("  %s, closed with %s: ended after %lld ms\n", c.state, c.means,
                    static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    }
}

} // namespace velmora::driver
