// SPDX-License-Identifier: MIT
// The form's input translation: the mouse, the keys, focus changes and activation as Windows gives
// them, turned into the lesson session's calls. Which key does what, and where the focus goes, is
// the session's to decide.
#include "win32/form_window.h"

namespace velmora::win32 {
namespace {

bool isMouseMessage(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_MOUSEMOVE ||
           message == WM_LBUTTONUP;
}

// The lesson's name for a virtual key; Other for every key it does not answer.
Key keyOf(WPARAM virtualKey) {
    switch (virtualKey) {
    case VK_TAB: return Key::Tab;
    case VK_SPACE: return Key::Space;
    case VK_RETURN: return Key::Enter;
    case VK_ESCAPE: return Key::Escape;
    case VK_LEFT: return Key::Left;
    case VK_RIGHT: return Key::Right;
    case VK_UP: return Key::Up;
    case VK_DOWN: return Key::Down;
    case VK_F1: return Key::WhereAmI;
    default: return Key::Other;
    }
}

} // namespace

void FormWindow::pointer(UINT message, POINT point) {
    const PixelPoint at = scale_.form(point);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        setRingShown(false);
        // Every move and the release come to the form until the button is up, wherever they are.
        captured_ = true;
        SetCapture(hwnd_);
        play([&] { return session_.pointerPressed(kMouse, at, message == WM_LBUTTONDBLCLK); });
        return;
    case WM_MOUSEMOVE:
        if (captured_) play([&] { return session_.pointerMoved(kMouse, at); });
        return;
    case WM_LBUTTONUP:
        if (!captured_) return;
        captured_ = false;
        ReleaseCapture();
        play([&] { return session_.pointerReleased(kMouse, at); });
        return;
    default: return;
    }
}

bool FormWindow::forwardMouse(HWND control, UINT message, LPARAM lParam) {
    if (!isMouseMessage(message)) return false;
    // The mouse counts by where it is in the form, whichever control Windows gave it to.
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    MapWindowPoints(control, hwnd_, &point, 1);
    pointer(message, point);
    return true;
}

void FormWindow::captureChanged(HWND taker) {
    // Taken away by someone else while the button was down (or let go after Escape gave up the
    // drag): no drop, no click.
    if (!captured_ || taker == hwnd_) return;
    captured_ = false;
    play([&] { return session_.pointerCancelled(kMouse); });
}

void FormWindow::deactivated() {
    play([&] { return session_.windowDeactivated(); });
}

bool FormWindow::command(WPARAM wParam, LPARAM lParam) {
    // Reset clicked by a BM_CLICK from outside (an automation tool); the mouse is routed by
    // pointer() and the keys by translateKey(), so the button never clicks itself.
    if (HIWORD(wParam) != BN_CLICKED) return false;
    if (const Control* control = controlOf(reinterpret_cast<HWND>(lParam)))
        play([&] { return session_.activate(*control); });
    return true;
}

void FormWindow::activateById(WPARAM id) {
    for (const auto& [control, window] : windows_)
        if (control->record().index == id) play([&] { return session_.activate(*control); });
}

bool FormWindow::translateKey(const MSG& message) {
    if (hwnd_ == nullptr || (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd))) return false;
    // A press with Alt held is the system's (its menu, Alt+Tab); a release comes as a system key's
    // when Alt went down while the key was held, and the session must still hear it.
    const UINT kind = message.message;
    if (kind != WM_KEYDOWN && kind != WM_KEYUP && kind != WM_SYSKEYUP) return false;
    const Key key = keyOf(message.wParam);
    if (key == Key::Other) return false;
    const bool down = kind == WM_KEYDOWN;
    // Bit 30 of a press: the key was already down, an automatic repeat. The time is the message's
    // own, as GetMessageTime() gives it.
    const KeyInput input{key, down, GetKeyState(VK_SHIFT) < 0, down && (message.lParam & (LPARAM{1} << 30)) != 0,
                         message.time};
    if (down) setRingShown(true);
    const bool handled = play([&] { return session_.key(input); });
    return handled && kind != WM_SYSKEYUP;
}

void FormWindow::controlFocused(HWND hwnd) {
    if (applying_) return;
    if (const Control* control = controlOf(hwnd)) play([&] { return session_.focusMoved(control); });
}

void FormWindow::formFocused() {
    // The form itself took the keyboard (the window came to the front): it goes on to the control
    // the session has the focus on.
    if (applying_) return;
    const Control* target = session_.focused();
    if (target == nullptr || !target->visible()) target = session_.firstFocus();
    if (target != nullptr) SetFocus(windowOf(target));
}

void FormWindow::setRingShown(bool shown) {
    if (ringShown_ == shown) return;
    ringShown_ = shown;
    if (HWND focus = GetFocus(); controlOf(focus) != nullptr) InvalidateRect(focus, nullptr, FALSE);
}

} // namespace velmora::win32
