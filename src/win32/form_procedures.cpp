// SPDX-License-Identifier: MIT
#include "win32/form_window.h"

#include "runtime/project_description.h"

#include <exception>
#include <utility>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace velmora::win32 {
namespace {

// A failure the lesson cannot go on from, inside a window procedure: one box, then the end.
[[noreturn]] void endOnException(const std::wstring& title, const char* what) {
    MessageBoxW(nullptr, widen(what).c_str(), title.c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(static_cast<UINT>(kExitOnError));
}

template <class Handler>
LRESULT guarded(const std::wstring& title, Handler&& handler) {
    try {
        return std::forward<Handler>(handler)();
    } catch (const std::exception& error) {
        endOnException(title, error.what());
    }
}

// The form window a control or outline strip was created for, kept in its user data.
FormWindow* creatorOf(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

} // namespace

template <class Handler>
LRESULT FormWindow::dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Handler&& handler) {
    return guarded(title_, [&] {
        // Screen readers ask every window of the form the same way.
        if (message == WM_GETOBJECT)
            if (const LRESULT object = accessibleObject(hwnd, wParam, lParam)) return object;
        return std::forward<Handler>(handler)();
    });
}

LRESULT CALLBACK FormWindow::formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->dispatch(hwnd, message, wParam, lParam, [&] { return self->onFormMessage(message, wParam, lParam); });
}

LRESULT CALLBACK FormWindow::pictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    FormWindow* self = creatorOf(hwnd, message, lParam);
    if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->dispatch(hwnd, message, wParam, lParam,
                          [&] { return self->onPictureMessage(hwnd, message, wParam, lParam); });
}

LRESULT CALLBACK FormWindow::stripProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    FormWindow* self = creatorOf(hwnd, message, lParam);
    switch (message) {
    case WM_NCHITTEST: return HTTRANSPARENT; // the outline is drawing, not a place to click
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
        if (self != nullptr) {
            self->paintStrip(hwnd);
            return 0;
        }
        break;
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::systemControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR self) {
    auto* form = reinterpret_cast<FormWindow*>(self);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, systemControlProc, kSubclass);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    // The label is only asked for its accessible object; the button is the form's to drive.
    const Control* control = form->controlOf(hwnd);
    const bool button = control != nullptr && control->kind() == ControlKind::PushButton;
    return form->dispatch(hwnd, message, wParam, lParam, [&] {
        return button ? form->onButtonMessage(hwnd, message, wParam, lParam)
                      : DefSubclassProc(hwnd, message, wParam, lParam);
    });
}

LRESULT FormWindow::onFormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: paintFormBackground(reinterpret_cast<HDC>(wParam)); return 1;
    case WM_CTLCOLORSTATIC:
        if (const LRESULT brush = labelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
            return brush;
        break;
    case WM_COMMAND:
        if (command(wParam, lParam)) return 0;
        break;
    case kActivateMessage: activateById(wParam); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: pointer(message, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_CAPTURECHANGED: captureChanged(reinterpret_cast<HWND>(lParam)); return 0;
    case WM_SETFOCUS: formFocused(); return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) deactivated();
        break;
    case WM_SIZE: resized(wParam, lParam); return 0;
    case WM_DPICHANGED: dpiChanged(wParam, lParam); return 0;
    case WM_CONTEXTMENU:
        if (contextMenu(lParam)) return 0;
        break;
    case WM_SYSCOMMAND:
        if (switchCommand(static_cast<UINT>(wParam & 0xFFF0))) return 0;
        break;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETSCREENREADER) screenReaderChanged();
        break;
    case WM_SYSCOLORCHANGE:
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    case WM_DESTROY: PostQuitMessage(exitCode_); return 0;
    default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT FormWindow::onPictureMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (forwardMouse(hwnd, message, lParam)) return 0;
    switch (message) {
    case WM_PAINT: paintPicture(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFOCUS:
        InvalidateRect(hwnd, nullptr, FALSE);
        controlFocused(hwnd);
        return 0;
    case WM_KILLFOCUS: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT FormWindow::onButtonMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // The button only shows the pressed look the session gives it; its own clicking is not used.
    if (forwardMouse(hwnd, message, lParam)) return 0;
    switch (message) {
    case WM_PAINT: return paintButton(hwnd, wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case BM_SETSTATE:
    case WM_UPDATEUISTATE: {
        // The button draws these changes itself; paint again so the focus ring is right.
        const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        if (message == WM_SETFOCUS) controlFocused(hwnd);
        return result;
    }
    default: break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace velmora::win32
