// SPDX-License-Identifier: MIT
// Plays Velmora.exe as a pupil would, from the Windows side of Wine: starts the program, moves the
// mouse (through the X server, see xdotool()) and presses keys (SendInput), and checks what the
// window shows: which controls are visible, where the focus is, and the pixels on the screen.
//   lesson_driver SCENARIO ARGUMENT...   (see main() for the scenarios)
// Prints "[  PASSED  ] SCENARIO" when every check held, as GoogleTest does.
#include "assets/picture_words.h"
#include "language/language.h"
#include "model/form_model.h"
#include "reaction/focus_mark.h"
#include "reaction/lesson_session.h"
#include "reaction/lesson_texts.h"
#include "refusal.h"
#include "runtime/project_description.h"
#include "win32/win32_support.h"

#include <windows.h>

#include <msi.h>
#include <oleacc.h>
#include <shlobj.h>

#undef interface

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora {
namespace {

using win32::narrow;
using win32::widen;

using Names = std::set<std::string>;
const Names kApart{"Label1", "Command1", "Picture1", "Picture2"};
const Names kBound{"Label1", "Command1", "Picture4"};
const Names kReleased{"Label1", "Command1", "Picture1", "Picture3"};

int g_failures = 0;

void check(bool ok, const std::string& what) {
    if (ok) return;
    ++g_failures;
    std::printf("  check failed: %s\n", what.c_str());
}

// A wait that ran out: the scenario cannot go on.
struct Stuck : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void waitFor(const std::function<bool()>& done, const std::string& what, int milliseconds = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) throw Stuck("gave up waiting for " + what);
        Sleep(10);
    }
}

// A check that may take a while to come true, as the screen catches up: waits for `done`, and
// reports `problem()` if it never holds.
void eventually(const std::function<bool()>& done, const std::function<std::string()>& problem) {
    try {
        waitFor(done, "a check");
    } catch (const Stuck&) {
        check(false, problem());
    }
}

// A path as given on the Linux side, as Wine's Z: drive shows it.
std::wstring windowsPath(const std::string& path) {
    std::wstring out = widen(path);
    for (wchar_t& c : out)
        if (c == L'/') c = L'\\';
    return path.starts_with('/') ? L"Z:" + out : out;
}

std::string windowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return narrow(text);
}

std::string className(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return narrow(name);
}

// The form as the program describes it: names, places, pictures and words to expect.
// What the program shows is expected in the language it chooses from the same setting: the
// first of the user's Windows display languages that the lesson speaks.
const Language& language() {
    static const Language chosen(languageForTags(win32::userLanguageTags()));
    return chosen;
}

const FormModel& form() {
    static const FormModel model;
    return model;
}
const Control& control(const std::string& name) { return *form().find(name); }
PixelPoint centreOf(const std::string& name) { return pixelRectOf(control(name)).centre(); }

// --- the program under test ---

/*
 * One run of a Velmora executable: started at construction, its window found; ended at
 * destruction if it is still running.
 */
class Program {
public:
    explicit Program(const std::wstring& exe) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + exe + L"\"";
        if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process_))
            throw Stuck("cannot start " + narrow(exe));
        waitFor([this] { return (form_ = topWindow("VelmoraForm")) != nullptr; }, "the window of Velmora.exe", 20000);
        SetForegroundWindow(form_);
        waitFor([this] { return GetForegroundWindow() == form_; }, "the window to come to the front");
    }
    ~Program() {
        // Closed as a pupil would, so that its window is gone before the next program starts.
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) PostMessageW(form_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 5000) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    HWND form() const { return form_; }
    HWND window(const std::string& name) const { return GetDlgItem(form_, control(name).record().index); }

    // A visible top-level window of the program with that class.
    HWND topWindow(const std::string& windowClass) const {
        struct Search {
            DWORD process;
            std::string windowClass;
            HWND found;
        } search{process_.dwProcessId, windowClass, nullptr};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner != s->process || !IsWindowVisible(window) || className(window) != s->windowClass) return TRUE;
                s->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    Names shown() const {
        Names out;
        for (const Control& c : velmora::form().controls())
            if (IsWindowVisible(window(c.name()))) out.insert(c.name());
        return out;
    }
    void expectShown(const Names& expected, const std::string& when) const {
        eventually([&] { return shown() == expected; },
                   [&] {
                       std::string got;
                       for (const std::string& name : shown()) got += " " + name;
                       return "after " + when + " the visible controls are" + got;
                   });
    }

    // The control with the keyboard focus, or "" for none of the form's.
    std::string focused() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(process_.dwThreadId, &info)) return {};
        for (const Control& c : velmora::form().controls())
            if (window(c.name()) == info.hwndFocus) return c.name();
        return {};
    }
    void expectFocus(const std::string& name, const std::string& when) const {
        eventually([&] { return focused() == name; },
                   [&] { return "after " + when + " the focus is on \"" + focused() + "\", not " + name; });
    }

    // The outline's outer rectangle in client pixels (the four strips together), or none while
    // it is hidden.
    std::optional<PixelRect> outline() const {
        RECT ring{};
        for (HWND strip = nullptr; (strip = FindWindowExW(form_, strip, L"VelmoraOutline", nullptr)) != nullptr;) {
            if (!IsWindowVisible(strip)) return std::nullopt;
            RECT r;
            GetWindowRect(strip, &r);
            UnionRect(&ring, &ring, &r);
        }
        if (IsRectEmpty(&ring)) return std::nullopt;
        MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&ring), 2);
        return PixelRect{ring.left, ring.top, ring.right - ring.left, ring.bottom - ring.top};
    }
    // Waits for the outline to be gone, or to be the substrate's size with its top-left at `topLeft`.
    void waitForOutline(std::optional<PixelPoint> topLeft, const std::string& when) const {
        const PixelRect substrate = pixelRectOf(control("Picture2"));
        waitFor(
            [&] {
                const auto shown = outline();
                if (!topLeft) return !shown.has_value();
                return shown == PixelRect{topLeft->x, topLeft->y, substrate.width, substrate.height};
            },
            "the outline " + when);
    }

    // Waits for the program to end; its exit status, or none when it is still running.
    std::optional<DWORD> waitForExit(int milliseconds) const {
        if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) return {};
        DWORD status = 0;
        GetExitCodeProcess(process_.hProcess, &status);
        return status;
    }

private:
    PROCESS_INFORMATION process_{};
    HWND form_ = nullptr;
};

// --- input ---

void send(INPUT input) { SendInput(1, &input, sizeof input); }

// Pointer input comes from the X server, as a mouse's does: the desktop's side runs xdotool with
// these arguments and answers when it is done.
void xdotool(const std::string& arguments) {
    std::printf("xdotool %s\n", arguments.c_str());
    std::fflush(stdout);
    char answer[16];
    if (std::fgets(answer, sizeof answer, stdin) == nullptr) throw Stuck("no answer to xdotool " + arguments);
}

void mouseTo(const Program& program, PixelPoint at) {
    POINT p{at.x, at.y};
    ClientToScreen(program.form(), &p);
    // Nothing else may be in the way: a window of the program before, still closing.
    waitFor(
        [&] {
            HWND under = WindowFromPoint(p);
            return under == program.form() || IsChild(program.form(), under);
        },
        "the window to be under the pointer");
    xdotool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y));
    waitFor(
        [&] {
            POINT now;
            return GetCursorPos(&now) && now.x == p.x && now.y == p.y;
        },
        "the pointer to arrive");
}

void mouseButton(bool down) { xdotool(down ? "mousedown 1" : "mouseup 1"); }

void click(const Program& program, PixelPoint at) {
    mouseTo(program, at);
    mouseButton(true);
    mouseButton(false);
}

void key(WORD vk, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    send(input);
}

void press(WORD vk, WORD modifier = 0) {
    if (modifier != 0) key(modifier, true);
    key(vk, true);
    key(vk, false);
    if (modifier != 0) key(modifier, false);
}

// Presses on the substrate at `grab`, moves to `to` with the button down (checking that the
// outline follows at the grab offset) and lets go there.
void dragSubstrate(const Program& program, PixelPoint grab, PixelPoint to) {
    const PixelRect substrate = pixelRectOf(control("Picture2"));
    mouseTo(program, grab);
    mouseButton(true);
    program.waitForOutline(PixelPoint{substrate.x, substrate.y}, "over the substrate as it is picked up");
    for (int step = 1; step <= 4; ++step)
        mouseTo(program, {grab.x + (to.x - grab.x) * step / 4, grab.y + (to.y - grab.y) * step / 4});
    program.waitForOutline(PixelPoint{substrate.x + to.x - grab.x, substrate.y + to.y - grab.y},
                           "at the grab offset from the pointer");
    mouseButton(false);
    program.waitForOutline(std::nullopt, "gone after the drop");
}

// --- the screen ---

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, top row first

    Rgb at(int x, int y) const {
        const std::uint32_t p = pixels[static_cast<std::size_t>(y * width + x)];
        return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p)};
    }
};

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

// The form's client area as the screen shows it.
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

// The size of the ink of the caption of `control` as GDI draws it here in the control's font,
// colours and ground at `dpi`.
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
        HFONT made = CreateFontIndirectW(&logFont);
        HGDIOBJ old = SelectObject(memory, made);
        const RECT all{0, 0, 600, 150};
        SetDCBrushColor(memory, RGB(ground.r, ground.g, ground.b));
        FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        SetTextColor(memory, RGB(ink.r, ink.g, ink.b));
        SetBkMode(memory, TRANSPARENT);
        const std::wstring caption = widen(captionText(language(), control));
        TextOutW(memory, 20, 20, caption.c_str(), static_cast<int>(caption.size()));
        SelectObject(memory, old);
        DeleteObject(made);
    });
    return inkSize(text, {0, 0, text.width, text.height}, ground);
}

// The caption of `control`, within `face` on the screen, is as wide and as high as GDI draws it
// in the control's font at `dpi`.
void expectCaption(const Program& program, const Control& control, const PixelRect& face, int dpi = 96) {
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

void expectScreen(const Program& program, const Names& shown, const std::string& ring, const std::string& when) {
    std::vector<std::string> problems;
    eventually([&] { return (problems = screenProblems(capture(program), shown, ring)).empty(); },
               [&] {
                   std::string all = "after " + when + ":";
                   for (const std::string& problem : problems) all += "\n    " + problem;
                   return all;
               });
}

// --- scenarios ---

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
        case ControlKind::PictureArea:
            check((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0, c.name() + " has the sunken frame");
            break;
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
    // Drops that change nothing: on the background, the heading, Reset, and the substrate itself.
    for (const char* target : {"", "Label1", "Command1", "Picture2"}) {
        const std::string name = *target != '\0' ? target : "the form";
        dragSubstrate(program, grab, *target != '\0' ? centreOf(target) : PixelPoint{80, 450});
        program.expectShown(kApart, "a drop on " + name);
    }
    expectScreen(program, kApart, "", "the drops beside the enzyme");

    // The strip right of the enzyme's picture, and in a second round the strip below it, bind.
    const PixelRect enzyme = pixelRectOf(control("Picture1"));
    const int inner = enzyme.x + kPictureAreaFrameWidth;
    for (const PixelPoint drop :
         {PixelPoint{inner + ScenePicture::kWidth + 20, enzyme.y + 60},
          PixelPoint{inner + 60, enzyme.y + kPictureAreaFrameWidth + ScenePicture::kHeight + 10}}) {
        const std::string where = "a drop at (" + std::to_string(drop.x) + ", " + std::to_string(drop.y) + ")";
        dragSubstrate(program, grab, drop);
        program.expectShown(kBound, where);
        program.expectFocus("Picture4", where);
        expectScreen(program, kBound, "", where);

        click(program, centreOf("Picture4"));
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
    press(VK_TAB, VK_SHIFT);
    program.expectFocus("Picture2", "Shift+Tab from Reset, past the hidden pictures");
}

// The accessible object of a window, as a screen reader gets it, or nullptr.
IAccessible* accessible(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&object))))
        return nullptr;
    return object;
}

VARIANT self() {
    VARIANT out;
    VariantInit(&out);
    out.vt = VT_I4;
    out.lVal = CHILDID_SELF;
    return out;
}

std::string heard(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*text)(VARIANT, BSTR*)) {
    BSTR said = nullptr;
    if (object == nullptr || FAILED((object->*text)(self(), &said)) || said == nullptr) return {};
    const std::string out = narrow(said);
    SysFreeString(said);
    return out;
}

long roleOf(IAccessible* object) {
    VARIANT role;
    VariantInit(&role);
    return object != nullptr && SUCCEEDED(object->get_accRole(self(), &role)) && role.vt == VT_I4 ? role.lVal : 0;
}

void namesForScreenReaders(const std::wstring& exe) {
    const Program program(exe);
    for (const Control& c : form().controls()) {
        IAccessible* object = accessible(program.window(c.name()));
        const ControlText text = controlText(language(), c.name());
        const std::string name = heard(object, &IAccessible::get_accName);
        const std::string expected(c.kind() == ControlKind::PictureArea ? text.name : captionText(language(), c));
        check(name == expected, c.name() + " is called \"" + name + "\", not \"" + expected + "\"");
        const std::string description = heard(object, &IAccessible::get_accDescription);
        check(description == text.description, c.name() + " is described as \"" + description + "\"");
        const bool button = c.kind() == ControlKind::PushButton || c.name() == "Picture4";
        if (c.kind() != ControlKind::Label)
            check(roleOf(object) == (button ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_GRAPHIC),
                  c.name() + " has the role " + std::to_string(roleOf(object)));
        if (object != nullptr) object->Release();
    }

    // The form tells where the lesson stands; the complex is pressed as a screen reader presses it.
    IAccessible* window = accessible(program.form());
    check(heard(window, &IAccessible::get_accDescription) == stageText(language(), Stage::Apart),
          "the form says the lesson is apart");
    dragSubstrate(program, centreOf("Picture2"), centreOf("Picture1"));
    program.expectShown(kBound, "the drop");
    check(heard(window, &IAccessible::get_accDescription) == stageText(language(), Stage::Bound),
          "the form says the lesson is bound");
    IAccessible* complex = accessible(program.window("Picture4"));
    check(heard(complex, &IAccessible::get_accDefaultAction) == pressActionText(language()),
          "the complex can be pressed");
    check(complex != nullptr && SUCCEEDED(complex->accDoDefaultAction(self())), "the complex takes its press");
    program.expectShown(kReleased, "the complex's default action");
    for (IAccessible* object : {window, complex})
        if (object != nullptr) object->Release();
}

void failureEndsTheProgram(const std::wstring& exe) {
    // What the box must say: the core's own text for the error the injected failure raises.
    LessonSession expected(language(), refuseShowingTheSubstrate);
    (void)expected.pointerPressed(centreOf("Picture2"));
    (void)expected.pointerReleased(centreOf("Picture1"));
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

void closingEndsAtOnce(const std::wstring& exe) {
    // Each way of closing finds what it needs first and returns the closing itself, which is timed.
    using Close = std::function<std::function<void()>(const Program&)>;
    const Close closeBox = [](const Program& program) -> std::function<void()> {
        // Where the frame says its close box is, clicked with the mouse.
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
    };
    const Close altF4 = [](const Program&) -> std::function<void()> { return [] { press(VK_F4, VK_MENU); }; };
    const auto posting = [](UINT message, WPARAM wParam) -> Close {
        return [=](const Program& p) -> std::function<void()> {
            return [&p, message, wParam] { PostMessageW(p.form(), message, wParam, 0); };
        };
    };

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

// The numbers of a version "major.minor.patch" as a version record's fixed part holds them.
std::pair<DWORD, DWORD> versionNumbers(const std::string& version) {
    unsigned major = 0, minor = 0, patch = 0;
    std::sscanf(version.c_str(), "%u.%u.%u", &major, &minor, &patch);
    return {MAKELONG(minor, major), MAKELONG(0, patch)};
}

// The version record of `file`: the fixed part, and the strings of the table `table`.
struct VersionRecord {
    VS_FIXEDFILEINFO fixed{};
    std::map<std::string, std::string> strings;
    DWORD translation = 0;
};

std::optional<VersionRecord> versionRecord(const std::wstring& file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    std::vector<char> data(size);
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return std::nullopt;
    VersionRecord out;
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\", &value, &length) && length >= sizeof out.fixed)
        out.fixed = *static_cast<VS_FIXEDFILEINFO*>(value);
    if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length) && length >= 4)
        out.translation = *static_cast<DWORD*>(value);
    for (const char* name : {"ProductName", "FileVersion", "ProductVersion", "InternalName", "OriginalFilename"})
        if (VerQueryValueW(data.data(), (L"\\StringFileInfo\\040904B0\\" + widen(name)).c_str(), &value, &length))
            out.strings[name] = narrow(static_cast<const wchar_t*>(value));
    return out;
}

void versionRecordAndIcon(const std::wstring& exe, const std::string& version, const std::string& versionText) {
    const auto record = versionRecord(exe);
    check(record.has_value(), "Velmora.exe has a version record");
    if (!record) return;
    const auto [high, low] = versionNumbers(version);
    check(record->fixed.dwFileVersionMS == high && record->fixed.dwFileVersionLS == low &&
              record->fixed.dwProductVersionMS == high && record->fixed.dwProductVersionLS == low,
          "the file and product versions are " + version + ".0");
    check(record->fixed.dwFileOS == VOS__WINDOWS32 && record->fixed.dwFileType == VFT_APP,
          "the record is that of a 32-bit Windows application");
    check(record->translation == MAKELONG(0x409, 1200), "the strings are English (United States), Unicode");
    const std::string name(kVelmoraProject.executableName);
    const std::map<std::string, std::string> strings{{"ProductName", name},
                                                     {"FileVersion", versionText},
                                                     {"ProductVersion", versionText},
                                                     {"InternalName", name},
                                                     {"OriginalFilename", name + ".exe"}};
    for (const auto& [key, want] : strings)
        check(record->strings.count(key) && record->strings.at(key) == want,
              key + " is \"" + (record->strings.count(key) ? record->strings.at(key) : "") + "\", not \"" + want +
                  "\"");

    // Icon group 1: 32 by 32 in 2 colours, 32 by 32 and 16 by 16 in 16 colours.
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC group = module ? FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)) : nullptr;
    std::set<std::string> images;
    if (group != nullptr) {
        // A count at byte 4, then 14 bytes an image: width, height, colours, ...
        const auto* head = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
        for (int i = 0; i < head[4]; ++i) {
            const BYTE* entry = head + 6 + 14 * i;
            images.insert(std::to_string(entry[0]) + "x" + std::to_string(entry[1]) + "/" + std::to_string(entry[2]));
        }
    }
    check(images == std::set<std::string>{"32x32/2", "32x32/16", "16x16/16"}, "icon group 1 holds the three images");
    check(module != nullptr && FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)) != nullptr,
          "Velmora.exe carries its manifest");
    if (module != nullptr) FreeLibrary(module);
}

// Runs a command line to its end; its exit status.
DWORD run(std::wstring command) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw Stuck("cannot start " + narrow(command));
    WaitForSingleObject(process.hProcess, 120000);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}

// The versions of the installed products of that upgrade code.
std::vector<std::string> installedVersions(const std::wstring& upgradeCode) {
    std::vector<std::string> out;
    wchar_t product[39];
    for (DWORD i = 0; MsiEnumRelatedProductsW(upgradeCode.c_str(), 0, i, product) == ERROR_SUCCESS; ++i) {
        wchar_t version[64] = {};
        DWORD length = 64;
        MsiGetProductInfoW(product, INSTALLPROPERTY_VERSIONSTRING, version, &length);
        out.push_back(narrow(version));
    }
    return out;
}

std::wstring knownFolder(int folder) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The programs called Velmora in the installed programs list (Windows' uninstall entries): the
// keys of their entries, their product codes.
std::vector<std::wstring> listedAsInstalled() {
    std::vector<std::wstring> listed;
    HKEY uninstall = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                      KEY_READ | KEY_WOW64_64KEY, &uninstall) != ERROR_SUCCESS)
        return listed;
    wchar_t key[256];
    for (DWORD i = 0, length = 256;
         RegEnumKeyExW(uninstall, i, key, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = 256) {
        wchar_t name[64] = {};
        DWORD size = sizeof name;
        if (RegGetValueW(uninstall, key, L"DisplayName", RRF_RT_REG_SZ, nullptr, name, &size) == ERROR_SUCCESS &&
            std::wstring(name) == L"Velmora")
            listed.emplace_back(key);
    }
    RegCloseKey(uninstall);
    return listed;
}

// velmora.msi (MSI) after an older version; then another build of the same version (REBUILT),
// which replaces it; then the older version, which does not install over it; then removal.
void installerInstallsUpgradesAndRemoves(const std::wstring& msi, const std::wstring& rebuilt,
                                         const std::wstring& olderMsi, const std::string& version,
                                         const std::string& olderVersion, const std::string& upgradeCode) {
    const std::wstring code = widen(upgradeCode);
    const std::wstring program = knownFolder(CSIDL_PROGRAM_FILES) + L"\\Velmora\\Velmora.exe";
    // A per-machine install puts it in All Users' Start menu; Wine 8 puts it in the user's.
    const std::wstring shortcuts[] = {knownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Tessivar.lnk",
                                      knownFolder(CSIDL_PROGRAMS) + L"\\Tessivar.lnk"};
    const auto shortcut = [&shortcuts] { return exists(shortcuts[0]) || exists(shortcuts[1]); };
    // What a run that failed half-way left behind goes first, found by its upgrade code or its name.
    wchar_t leftover[39];
    while (MsiEnumRelatedProductsW(code.c_str(), 0, 0, leftover) == ERROR_SUCCESS)
        if (run(L"msiexec /x " + std::wstring(leftover) + L" /qn") != 0)
            throw Stuck("cannot remove an earlier Velmora");
    for (const std::wstring& product : listedAsInstalled())
        if (run(L"msiexec /x " + product + L" /qn") != 0) throw Stuck("cannot remove an earlier Velmora");

    struct Install {
        const std::wstring& msi;
        bool installs;
        const std::string& installed; // the version installed afterwards
        const char* what;
    };
    const Install installs[] = {
        {olderMsi, true, olderVersion, "the older version installs silently"},
        {msi, true, version, "this version installs silently over it"},
        {rebuilt, true, version, "another build of this version installs over it"},
        {olderMsi, false, version, "the older version does not install over this one"},
    };
    for (const Install& install : installs) {
        check((run(L"msiexec /i \"" + install.msi + L"\" /qn") == 0) == install.installs, install.what);
        check(installedVersions(code) == std::vector<std::string>{install.installed} && listedAsInstalled().size() == 1,
              std::string(install.what) + ": then one Velmora, " + install.installed + ", is installed");
    }
    check(exists(program) && shortcut(), "Velmora.exe is under Program Files, Tessivar in the Start menu");
    const auto record = versionRecord(program);
    check(record && record->fixed.dwFileVersionMS == versionNumbers(version).first,
          "the installed program is this one");
    // The installed program opens its window (a Program waits for it, and closes it again).
    { const Program installed(program); }

    check(run(L"msiexec /x \"" + rebuilt + L"\" /qn") == 0, "Velmora uninstalls silently");
    check(installedVersions(code).empty() && listedAsInstalled().empty() && !exists(program) && !shortcut(),
          "nothing of Velmora is left");
}

} // namespace
} // namespace velmora

int main(int argc, char** argv) {
    using namespace velmora;
    const std::vector<std::string> args(argv + 1, argv + argc);
    using Scenario = std::function<void(const std::vector<std::string>&)>;
    const auto withExe = [](void (*play)(const std::wstring&)) {
        return Scenario([play](const std::vector<std::string>& a) { play(windowsPath(a.at(1))); });
    };
    const std::map<std::string, std::pair<std::size_t, Scenario>> scenarios{
        {"opens", {2, withExe(opensAsDescribed)}},
        {"mouse", {2, withExe(mouseLesson)}},
        {"keyboard", {2, withExe(keyboardLesson)}},
        {"names", {2, withExe(namesForScreenReaders)}},
        {"failure", {2, withExe(failureEndsTheProgram)}},
        {"closing", {2, withExe(closingEndsAtOnce)}},
        {"scaled", {2, withExe(scaledOneAndAHalfTimes)}},
        // language CODE EXE: the user's Windows language gives the lesson CODE, and the window is
        // as the form describes it in that language
        {"language",
         {3,
          [](const auto& a) {
              check(language().code() == a[1], "the lesson speaks " + std::string(language().code()) + ", not " + a[1]);
              opensAsDescribed(windowsPath(a[2]));
          }}},
        // version EXE VERSION VERSION_TEXT
        {"version", {4, [](const auto& a) { versionRecordAndIcon(windowsPath(a[1]), a[2], a[3]); }}},
        // installer MSI REBUILT_MSI OLDER_MSI VERSION OLDER_VERSION UPGRADE_CODE
        {"installer",
         {7,
          [](const auto& a) {
              installerInstallsUpgradesAndRemoves(windowsPath(a[1]), windowsPath(a[2]), windowsPath(a[3]), a[4], a[5],
                                                  a[6]);
          }}},
    };
    const auto scenario = args.empty() ? scenarios.end() : scenarios.find(args[0]);
    if (scenario == scenarios.end() || args.size() != scenario->second.first) {
        std::fprintf(stderr, "usage: lesson_driver SCENARIO ARGUMENT... (see lesson_driver.cpp)\n");
        return 2;
    }
    // The driver works in the screen's own pixels, whatever the program's scale.
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    if (const auto setContext = reinterpret_cast<SetContextFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext"))))
        setContext(reinterpret_cast<HANDLE>(-4)); // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    else
        SetProcessDPIAware();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    try {
        scenario->second.second(args);
    } catch (const std::exception& stuck) {
        check(false, stuck.what());
    }
    std::printf("[  %s  ] %s\n", g_failures == 0 ? "PASSED" : "FAILED", args[0].c_str());
    std::fflush(stdout);
    return g_failures == 0 ? 0 : 1;
}
