// SPDX-License-Identifier: MIT
// The lesson played as a pupil plays it: the window as it opens, a lesson with the mouse and one
// from the keyboard, each step checked on the screen.
#include "driver.h"

#include "assets/picture_words.h"
#include "reaction/keyboard_hold.h"
#include "reaction/lesson_texts.h"

namespace velmora::driver {

void opensAsDescribed(const std::wstring& exe) {
    const Program program(exe);
    const HWND hwnd = program.form();
    check(windowText(hwnd) == form().description().caption, "the caption is \"" + windowText(hwnd) + "\"");
    RECT client;
    GetClientRect(hwnd, &client);
    const PixelRect size = clientRectOf(form().description());
    check(client.right == size.width && client.bottom == size.height,
          "the client area is " + std::to_string(client.right) + " by " + std::to_string(client.bottom));
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    check((style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW, "the frame is the default resizable one");

    // The controls, top of the stack first, each where and what the form says.
    std::vector<std::string> stack;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        for (const Control& c : form().controls())
            if (program.window(c.name()) == child) stack.push_back(c.name());
    std::vector<std::string> described;
    for (const Control& c : form().controls()) described.push_back(c.name());
    check(stack == described, "the children are stacked in the form's order");
    for (const Control& c : form().controls()) {
        HWND window = program.window(c.name());
        RECT r;
        GetWindowRect(window, &r);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
        const PixelRect want = pixelRectOf(c);
        check(r.left == want.x && r.top == want.y && r.right - r.left == want.width && r.bottom - r.top == want.height,
              c.name() + " is where the form puts it");
        const std::string kind = className(window);
        switch (c.kind()) {
        case ControlKind::Label: check(kind == "Static", c.name() + " is a STATIC control, not " + kind); break;
        case ControlKind::PushButton:
            check(kind == "Button" && windowText(window) == captionText(language(), c),
                  c.name() + " is the push button Reset");
            break;
        case ControlKind::PictureArea: break; // its frame is checked with the screen
        }
    }
    program.expectShown(kApart, "the start");
    program.expectFocus("Picture1", "the start");
    expectScreen(program, kApart, "Picture1", "the start");
    // The heading and Reset in their fonts at their sizes.
    expectCaption(program, control("Label1"), pixelRectOf(control("Label1")));
    const PixelRect reset = pixelRectOf(control("Command1"));
    expectCaption(program, control("Command1"), {reset.x + 4, reset.y + 4, reset.width - 8, reset.height - 8});
}

void mouseLesson(const std::wstring& exe) {
    const Program program(exe);
    const PixelPoint grab = centreOf("Picture2");
    // Drags that change nothing: one given up with Escape over the enzyme, whose release there
    // then drops nothing (the next drag's pick-up waits until it has been played), and drops on
    // the background, the heading, Reset, and the substrate itself.
    const struct {
        const char* target;
        bool escape;
    } drags[] = {{"Picture1", true}, {"", false}, {"Label1", false}, {"Command1", false}, {"Picture2", false}};
    for (const auto& drag : drags) {
        const std::string name = *drag.target != '\0' ? drag.target : "the form";
        dragSubstrate(program, grab, *drag.target != '\0' ? centreOf(drag.target) : PixelPoint{80, 450}, drag.escape);
        program.expectShown(kApart, std::string(drag.escape ? "Escape and a release on " : "a drop on ") + name);
    }
    expectScreen(program, kApart, "", "the drops beside the enzyme");

    // The strip right of the enzyme's picture binds; in a second round, with the substrate taken
    // by its frame, the strip below it; the complex releases when clicked, in the second round on
    // its frame. The frame is the control's as much as its inside.
    const PixelRect enzyme = pixelRectOf(control("Picture1"));
    const int inner = enzyme.x + kPictureAreaFrameWidth;
    const auto onFrame = [](const std::string& name) {
        const PixelRect r = pixelRectOf(control(name));
        return PixelPoint{r.x + kPictureAreaFrameWidth / 2, r.y + r.height / 2};
    };
    const struct {
        PixelPoint grab;
        PixelPoint drop;
        PixelPoint complex;
    } rounds[] = {{grab, {inner + ScenePicture::kWidth + 20, enzyme.y + 60}, centreOf("Picture4")},
                  {onFrame("Picture2"),
                   {inner + 60, enzyme.y + kPictureAreaFrameWidth + ScenePicture::kHeight + 10},
                   onFrame("Picture4")}};
    for (const auto& round : rounds) {
        const std::string where = "a drop at (" + std::to_string(round.drop.x) + ", " + std::to_string(round.drop.y) +
                                  ") grabbed at (" + std::to_string(round.grab.x) + ", " +
                                  std::to_string(round.grab.y) + ")";
        dragSubstrate(program, round.grab, round.drop);
        program.expectShown(kBound, where);
        program.expectFocus("Picture4", where);
        expectScreen(program, kBound, "", where);

        click(program, round.complex);
        program.expectShown(kReleased, "a click on the complex");
        expectScreen(program, kReleased, "", "a click on the complex");

        click(program, centreOf("Command1"));
        program.expectShown(kApart, "a click on Reset");
        expectScreen(program, kApart, "", "a click on Reset");
    }
}

void keyboardLesson(const std::wstring& exe) {
    const Program program(exe);
    press(VK_TAB);
    program.expectFocus("Picture2", "Tab");
    expectScreen(program, kApart, "Picture2", "Tab");

    // Picked up, put back with Escape; picked up again, 11 steps down and dropped on the enzyme.
    const PixelRect substrate = pixelRectOf(control("Picture2"));
    press(VK_SPACE);
    program.waitForOutline(PixelPoint{substrate.x, substrate.y}, "over the substrate after Space");
    press(VK_ESCAPE);
    program.waitForOutline(std::nullopt, "gone after Escape");
    program.expectShown(kApart, "Escape");
    press(VK_SPACE);
    for (int step = 0; step < 11; ++step) press(VK_DOWN);
    press(VK_RIGHT, VK_SHIFT);
    program.waitForOutline(PixelPoint{substrate.x + KeyboardHold::kFineStep, substrate.y + 11 * KeyboardHold::kStep},
                           "moved by the arrow keys");
    press(VK_SPACE);
    program.expectShown(kBound, "the drop with Space");
    program.expectFocus("Picture4", "the drop with Space");
    expectScreen(program, kBound, "Picture4", "the drop with Space");

    press(VK_RETURN);
    program.expectShown(kReleased, "Enter on the complex");
    program.expectFocus("Command1", "Enter on the complex");

    press(VK_SPACE);
    program.expectShown(kApart, "Space on Reset");
    // Round the shown controls both ways, past the hidden pictures, from Reset.
    const struct {
        WORD modifier;
        const char* to;
        const char* what;
    } tabs[] = {{VK_SHIFT, "Picture2", "Shift+Tab from Reset, past the hidden pictures"},
                {VK_SHIFT, "Picture1", "Shift+Tab from the substrate"},
                {VK_SHIFT, "Command1", "Shift+Tab from the enzyme, round to the end"},
                {0, "Picture1", "Tab from Reset, round to the start"}};
    for (const auto& tab : tabs) {
        press(VK_TAB, tab.modifier);
        program.expectFocus(tab.to, tab.what);
    }
}

} // namespace velmora::driver
