// SPDX-License-Identifier: MIT
// The lesson driver's checks and waits, its runs of the program under test, and the pupil's input:
// the pointer through the X server (see xdotool()), the keys through SendInput.
#include "driver.h"

#include <chrono>
#include <cstdio>

namespace velmora::driver {
namespace {

int g_failures = 0;

void send(INPUT input) { SendInput(1, &input, sizeof input); }

void key(WORD vk, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    send(input);
}

// Pointer input comes from the X server, as a mouse's does: the desktop's side runs xdotool with
// these arguments and answers when it is done.
void xdotool(const std::string& arguments) {
    std::printf("xdotool %s\n", arguments.c_str());
    std::fflush(stdout);
    char answer[16];
    if (std::fgets(answer, sizeof answer, stdin) == nullptr) throw Stuck("no answer to xdotool " + arguments);
}

} // namespace

void check(bool ok, const std::string& what) {
    if (ok) return;
    ++g_failures;
    std::printf("  check failed: %s\n", what.c_str());
}

int failures() { return g_failures; }

void waitFor(const std::function<bool()>& done, const std::string& what, int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) throw Stuck("gave up waiting for " + what);
        Sleep(10);
    }
}

void eventually(const std::function<bool()>& done, const std::function<std::string()>& problem) {
    try {
        waitFor(done, "a check");
    } catch (const Stuck&) {
        check(false, problem());
    }
}

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

Program::Program(const std::wstring& exe, const std::wstring& arguments) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
        throw Stuck("cannot start " + narrow(exe));
    waitFor([this] { return (form_ = topWindow("VelmoraForm")) != nullptr; }, "the window of Velmora.exe", 20000);
    SetForegroundWindow(form_);
    waitFor([this] { return GetForegroundWindow() == form_; }, "the window to come to the front");
}

Program::~Program() {
    // Closed as a pupil would, so that its window is gone before the next program starts.
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) PostMessageW(form_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 5000) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND Program::window(const std::string& name) const { return GetDlgItem(form_, control(name).record().index); }

HWND Program::topWindow(const std::string& windowClass) const {
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

Names Program::shown() const {
    Names out;
    for (const Control& c : driver::form().controls())
        if (IsWindowVisible(window(c.name()))) out.insert(c.name());
    return out;
}

void Program::expectShown(const Names& expected, const std::string& when) const {
    eventually([&] { return shown() == expected; },
               [&] {
                   std::string got;
                   for (const std::string& name : shown()) got += " " + name;
                   return "after " + when + " the visible controls are" + got;
               });
}

std::string Program::focused() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(process_.dwThreadId, &info)) return {};
    for (const Control& c : driver::form().controls())
        if (window(c.name()) == info.hwndFocus) return c.name();
    return {};
}

void Program::expectFocus(const std::string& name, const std::string& when) const {
    eventually([&] { return focused() == name; },
               [&] { return "after " + when + " the focus is on \"" + focused() + "\", not " + name; });
}

bool Program::capturing() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(process_.dwThreadId, &info) && info.hwndCapture != nullptr;
}

std::optional<PixelRect> Program::outline() const {
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

void Program::waitForOutline(std::optional<PixelPoint> topLeft, const std::string& when) const {
    const PixelRect substrate = pixelRectOf(control("Picture2"));
    waitFor(
        [&] {
            const auto shown = outline();
            if (!topLeft) return !shown.has_value();
            return shown == PixelRect{topLeft->x, topLeft->y, substrate.width, substrate.height};
        },
        "the outline " + when);
}

std::optional<DWORD> Program::waitForExit(int milliseconds) const {
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) return {};
    DWORD status = 0;
    GetExitCodeProcess(process_.hProcess, &status);
    return status;
}

// --- input ---

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

void mouseButton(bool down, int button) { xdotool((down ? "mousedown " : "mouseup ") + std::to_string(button)); }

void click(const Program& program, PixelPoint at) {
    mouseTo(program, at);
    mouseButton(true);
    mouseButton(false);
}

void press(WORD vk, WORD modifier) {
    if (modifier != 0) key(modifier, true);
    key(vk, true);
    key(vk, false);
    if (modifier != 0) key(modifier, false);
}

void dragSubstrate(const Program& program, PixelPoint grab, PixelPoint to, bool escape) {
    const PixelRect substrate = pixelRectOf(control("Picture2"));
    mouseTo(program, grab);
    mouseButton(true);
    program.waitForOutline(PixelPoint{substrate.x, substrate.y}, "over the substrate as it is picked up");
    for (int step = 1; step <= 4; ++step)
        mouseTo(program, {grab.x + (to.x - grab.x) * step / 4, grab.y + (to.y - grab.y) * step / 4});
    program.waitForOutline(PixelPoint{substrate.x + to.x - grab.x, substrate.y + to.y - grab.y},
                           "at the grab offset from the pointer");
    if (escape) {
        press(VK_ESCAPE);
        program.waitForOutline(std::nullopt, "gone after Escape, the button still down");
        eventually([&] { return !program.capturing(); }, [] { return "the mouse is still captured after Escape"; });
    }
    mouseButton(false);
    program.waitForOutline(std::nullopt, "gone after the drop");
}

} // namespace velmora::driver
