// SPDX-License-Identifier: MIT
// The form's input translation: the mouse, the keys, focus changes and activation as Windows gives
// them, turned into the lesson session's calls.
#include "win32/form_window.h"

#include <algorithm>

namespace velmora::win32 {
namespace {

bool isMouseMessage(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_MOUSEMOVE ||
           message == WM_LBUTTONUP;
}

Direction directionOf(WPARAM arrow) {
    switch (arrow) {
    case VK_LEFT: return Direction::Left;
    case VK_RIGHT: return Direction::Right;
    case VK_UP: return Direction::Up;
    default: return Direction::Down;
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
        play([&] { return session_.pointerPressed(at, message == WM_LBUTTONDBLCLK); });
        return;
    case WM_MOUSEMOVE:
        if (captured_) play([&] { return session_.pointerMoved(at); });
        return;
    case WM_LBUTTONUP:
        if (!captured_) return;
        captured_ = false;
        ReleaseCapture();
        play([&] { return session_.pointerReleased(at); });
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
    // Taken away by someone else while the button was down: no drop, no click.
    if (!captured_ || taker == hwnd_) return;
    captured_ = false;
    play([&] { return session_.pointerCancelled(); });
}

void FormWindow::deactivated() {
    keysDown_.clear();
    play([&] { return session_.windowDeactivated(); });
}

bool FormWindow::command(WPARAM wParam, LPARAM lParam) {
    // Reset clicked by the keyboard's or a screen reader's BM_CLICK; the mouse is routed by pointer().
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
    const WPARAM key = message.wParam;
    if (message.message == WM_KEYUP) {
        keysDown_.erase(key);
        return false;
    }
    if (message.message != WM_KEYDOWN) return false;
    const bool repeat = (message.lParam & (LPARAM{1} << 30)) != 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    // Holding Tab goes on through the controls.
    if (key == VK_TAB) {
        setRingShown(true);
        moveFocus(!shift);
        return true;
    }
    const bool arrow = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
    if (!arrow && key != VK_SPACE && key != VK_RETURN && key != VK_ESCAPE && key != VK_F1) return false;
    if (!repeat) {
        keysDown_[key] = message.hwnd;
    } else if (const auto held = keysDown_.find(key); held == keysDown_.end() || held->second != message.hwnd) {
        return true; // held since before this control took the focus
    }
    setRingShown(true);
    const Control* control = controlOf(message.hwnd);
    switch (key) {
    case VK_SPACE:
    case VK_RETURN:
        if (!repeat && control != nullptr) play([&] { return session_.activate(*control); });
        break;
    case VK_ESCAPE: play([&] { return session_.putDown(); }); break;
    case VK_F1:
        if (!repeat) play([&] { return session_.whereAmI(); });
        break;
    default: play([&] { return session_.moveHold(directionOf(key), shift); }); break;
    }
    return true;
}

void FormWindow::moveFocus(bool forward) {
    const std::vector<const Control*> order = session_.tabOrder();
    if (order.empty()) return;
    const Control* current = controlOf(GetFocus());
    if (current == nullptr) current = session_.focused();
    const auto size = static_cast<std::ptrdiff_t>(order.size());
    std::ptrdiff_t index = std::find(order.begin(), order.end(), current) - order.begin();
    if (index == size) index = forward ? size - 1 : 0;
    for (std::ptrdiff_t n = 0; n < size; ++n) {
        index = (index + (forward ? 1 : size - 1)) % size;
        if (order[static_cast<std::size_t>(index)]->visible()) {
            SetFocus(windowOf(order[static_cast<std::size_t>(index)]));
            return;
        }
    }
}

void FormWindow::controlFocused(HWND hwnd) {
    if (applying_) return;
    if (const Control* control = controlOf(hwnd)) play([&] { return session_.focusMoved(control); });
}

void FormWindow::focusShownControl() {
    // Only while the form has the keyboard, and its focus is on the form itself or on a hidden control.
    HWND focus = GetFocus();
    if (focus == nullptr || (focus != hwnd_ && (controlOf(focus) == nullptr || IsWindowVisible(focus)))) return;
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
