// SPDX-License-Identifier: MIT
#include "win32/form_window.h"

#include "reaction/lesson_texts.h"
#include "runtime/project_description.h"

#include <algorithm>
#include <exception>
#include <utility>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace velmora::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"VelmoraForm";
constexpr wchar_t kPictureAreaClass[] = L"VelmoraPictureArea";
constexpr wchar_t kOutlineClass[] = L"VelmoraOutline";
constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = 0;
// Posted by an accessible object's default action: activate the control with this ID (wParam).
constexpr UINT kActivateMessage = WM_APP + 1;
constexpr UINT_PTR kButtonSubclass = 1;

bool registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, UINT style, HICON icon = nullptr,
                   HICON smallIcon = nullptr) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hIconSm = smallIcon;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool isMouseMessage(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_MOUSEMOVE ||
           message == WM_LBUTTONUP;
}

POINT pointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

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

} // namespace

// Tells screen readers what each window of the form is: the lesson's names and descriptions of the
// controls, the complex as a button that can be pressed, and where the lesson stands as the form's
// own description.
class FormWindow::Accessibility final : public AccessibleSource {
public:
    explicit Accessibility(FormWindow& form) : form_(form) {}

    AccessibleFacts facts(HWND window) const override {
        AccessibleFacts out;
        if (window == form_.hwnd_) {
            out.description = widen(form_.stage_);
            return out;
        }
        const Control* control = form_.controlOf(window);
        if (control == nullptr) return out;
        const ControlText text = controlText(form_.session_.language(), control->name());
        out.description = widen(text.description);
        // Said outright for Reset too: not every system's object for a button says it is one.
        if (control->kind() == ControlKind::PushButton) out.role = ROLE_SYSTEM_PUSHBUTTON;
        if (control->kind() == ControlKind::PictureArea) {
            out.name = widen(text.name);
            const bool clickable = form_.session_.clickable(*control);
            out.role = clickable ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_GRAPHIC;
            if (clickable) out.defaultAction = widen(pressActionText(form_.session_.language()));
        }
        return out;
    }

    bool doDefaultAction(HWND window) override {
        const Control* control = form_.controlOf(window);
        if (control == nullptr || control->kind() != ControlKind::PictureArea || !form_.session_.clickable(*control))
            return false;
        // Played from the message loop, not inside the screen reader's call.
        PostMessageW(form_.hwnd_, kActivateMessage, control->record().index, 0);
        return true;
    }

private:
    FormWindow& form_;
};

FormWindow::FormWindow(HINSTANCE instance, std::string_view title, Language language, const ScenePictures& pictures,
                       VisibilityListener refuse)
    : instance_(instance), title_(widen(title)), pictures_(pictures), refuse_(std::move(refuse)),
      session_(std::move(language),
               [this](const Control& control) {
                   if (refuse_ && failed(refuse_(control))) return kStatusFail;
                   HWND window = windowOf(&control);
                   if (window == nullptr) return kStatusFail;
                   ShowWindow(window, control.visible() ? SW_SHOWNA : SW_HIDE);
                   return kStatusOk;
               }),
      stage_(session_.stageSentence()) {}

FormWindow::~FormWindow() {
    accessibility_.reset();
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    for (HFONT font : fonts_) DeleteObject(font);
}

bool FormWindow::create(int showCommand) {
    HICON icon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
    auto* smallIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    if (!registerClass(instance_, kFormClass, formProc, CS_DBLCLKS, icon, smallIcon) ||
        !registerClass(instance_, kPictureAreaClass, pictureProc, CS_DBLCLKS) ||
        !registerClass(instance_, kOutlineClass, stripProc, 0))
        return false;

    const FormDescription& form = session_.form().description();
    if (CreateWindowExW(kFormExStyle, kFormClass, widen(form.caption).c_str(), kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this) == nullptr)
        return false;
    scale_ = Scale(dpiOf(hwnd_));
    announcer_ = std::make_unique<Announcer>(hwnd_);
    accessibility_ = std::make_shared<Accessibility>(*this);
    if (!createControls()) return false;
    layOut();
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    return true;
}

bool FormWindow::createControls() {
    // Each control goes under the ones made before it, so the first (the top of the stack) stays on top.
    for (const Control& control : session_.form().controls()) {
        const ControlRecord& record = control.record();
        const DWORD shown = record.visible ? WS_VISIBLE : 0;
        const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(record.index));
        HWND window = nullptr;
        switch (record.kind) {
        case ControlKind::Label:
            window = CreateWindowExW(0, L"STATIC", widen(captionText(session_.language(), control)).c_str(),
                                     WS_CHILD | WS_CLIPSIBLINGS | SS_LEFTNOWORDWRAP | SS_NOPREFIX | shown, 0, 0, 0, 0,
                                     hwnd_, id, instance_, nullptr);
            break;
        case ControlKind::PushButton:
            window = CreateWindowExW(0, L"BUTTON", widen(captionText(session_.language(), control)).c_str(),
                                     WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | BS_PUSHBUTTON | shown, 0, 0, 0, 0, hwnd_,
                                     id, instance_, nullptr);
            if (window != nullptr)
                SetWindowSubclass(window, buttonProc, kButtonSubclass, reinterpret_cast<DWORD_PTR>(this));
            break;
        case ControlKind::PictureArea:
            // The window's text is the picture's accessible name, for tools that read only that.
            window = CreateWindowExW(
                WS_EX_CLIENTEDGE, kPictureAreaClass, widen(controlText(session_.language(), record.name).name).c_str(),
                WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | shown, 0, 0, 0, 0, hwnd_, id, instance_, this);
            break;
        }
        if (window == nullptr) return false;
        SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        windows_.push_back({&control, window});
    }
    for (HWND& strip : strips_) {
        strip = CreateWindowExW(0, kOutlineClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, hwnd_, nullptr,
                                instance_, this);
        if (strip == nullptr) return false;
    }
    return true;
}

void FormWindow::layOut() {
    const PixelRect client = clientRectOf(session_.form().description());
    const SIZE outer = windowSizeFor({scale_.device(client.width), scale_.device(client.height)}, kFormStyle,
                                     kFormExStyle, scale_.dpi());
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    for (HFONT font : fonts_) DeleteObject(font);
    fonts_.clear();
    for (const auto& [control, window] : windows_) {
        const RECT r = scale_.device(pixelRectOf(*control));
        SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        if (const auto& font = control->record().font) {
            const LOGFONTW logFont = scale_.logFont(*font);
            if (HFONT made = CreateFontIndirectW(&logFont)) {
                fonts_.push_back(made);
                SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
            }
        }
    }
    const std::optional<PixelRect> outline = std::exchange(outline_, std::nullopt);
    showOutline(outline);
}

// --- window procedures ---

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
    return guarded(self->title_, [&] { return self->onFormMessage(message, wParam, lParam); });
}

LRESULT CALLBACK FormWindow::pictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    return guarded(self->title_, [&] { return self->onPictureMessage(hwnd, message, wParam, lParam); });
}

LRESULT CALLBACK FormWindow::stripProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
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

LRESULT CALLBACK FormWindow::buttonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) {
    auto* form = reinterpret_cast<FormWindow*>(self);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, buttonProc, kButtonSubclass);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    return guarded(form->title_, [&] { return form->onButtonMessage(hwnd, message, wParam, lParam); });
}

LRESULT FormWindow::onFormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(hwnd_, &client);
        fillRect(reinterpret_cast<HDC>(wParam), client, colorRef(session_.form().description().backColor));
        return 1;
    }
    case WM_CTLCOLORSTATIC:
        if (const Control* control = controlOf(reinterpret_cast<HWND>(lParam))) {
            auto* dc = reinterpret_cast<HDC>(wParam);
            const COLORREF back = colorRef(control->record().effectiveBackColor());
            SetTextColor(dc, colorRef(control->record().effectiveForeColor()));
            SetBkColor(dc, back);
            SetDCBrushColor(dc, back);
            return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
        }
        break;
    case WM_COMMAND:
        // Reset clicked by the keyboard's or a screen reader's BM_CLICK; the mouse is routed below.
        if (HIWORD(wParam) == BN_CLICKED) {
            if (const Control* control = controlOf(reinterpret_cast<HWND>(lParam)))
                play([&] { return session_.activate(*control); });
            return 0;
        }
        break;
    case kActivateMessage:
        for (const auto& [control, window] : windows_)
            if (control->record().index == wParam) play([&] { return session_.activate(*control); });
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: pointer(message, pointOf(lParam)); return 0;
    case WM_CAPTURECHANGED:
        // Taken away by someone else while the button was down: no drop, no click.
        if (captured_ && reinterpret_cast<HWND>(lParam) != hwnd_) {
            captured_ = false;
            play([&] { return session_.pointerCancelled(); });
        }
        return 0;
    case WM_SETFOCUS:
        if (!applying_) focusShownControl();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            keysDown_.clear();
            play([&] { return session_.windowDeactivated(); });
        }
        break;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            const int width = scale_.form(LOWORD(lParam) - 1) + 1;
            const int height = scale_.form(HIWORD(lParam) - 1) + 1;
            play([&] { return session_.resized(width, height); });
        }
        return 0;
    case WM_DPICHANGED: {
        scale_ = Scale(HIWORD(wParam));
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        layOut();
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    }
    case WM_SYSCOLORCHANGE:
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    case WM_GETOBJECT:
        if (const LRESULT object = accessibleObjectFor(hwnd_, wParam, lParam, accessibility_)) return object;
        break;
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
    case WM_GETOBJECT:
        if (const LRESULT object = accessibleObjectFor(hwnd, wParam, lParam, accessibility_)) return object;
        break;
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT FormWindow::onButtonMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // The button only shows the pressed look the session gives it; its own clicking is not used.
    if (forwardMouse(hwnd, message, lParam)) return 0;
    switch (message) {
    case WM_PAINT: {
        const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        if (GetFocus() == hwnd && ringShown_) {
            HDC dc = GetDC(hwnd);
            RECT client;
            GetClientRect(hwnd, &client);
            drawFocusRing(dc, client, scale_);
            ReleaseDC(hwnd, dc);
        }
        return result;
    }
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
    case WM_GETOBJECT:
        if (const LRESULT object = accessibleObjectFor(hwnd, wParam, lParam, accessibility_)) return object;
        break;
    default: break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// --- drawing ---

void FormWindow::paintPicture(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client;
    GetClientRect(hwnd, &client);
    if (const Control* control = controlOf(hwnd)) {
        const ControlRecord& record = control->record();
        if (record.picture) {
            const PictureBits& picture = pictures_[static_cast<std::size_t>(*record.picture)];
            picture.draw(dc, {0, 0}, scale_);
            const SIZE size = picture.size(scale_);
            ExcludeClipRect(dc, 0, 0, size.cx, size.cy);
        }
        fillRect(dc, client, colorRef(record.effectiveBackColor()));
        SelectClipRgn(dc, nullptr);
        if (GetFocus() == hwnd && ringShown_) drawFocusRing(dc, client, scale_);
    }
    EndPaint(hwnd, &paint);
}

void FormWindow::paintStrip(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client;
    GetClientRect(hwnd, &client);
    POINT origin{};
    if (outline_) {
        const RECT ring = scale_.device(*outline_);
        origin = {ring.left, ring.top};
        MapWindowPoints(hwnd_, hwnd, &origin, 1);
    }
    drawOutlineStrip(dc, client, origin, scale_);
    EndPaint(hwnd, &paint);
}

void FormWindow::showOutline(const std::optional<PixelRect>& outline) {
    if (outline == outline_) return;
    outline_ = outline;
    if (!outline) {
        for (HWND strip : strips_) ShowWindow(strip, SW_HIDE);
        return;
    }
    const RECT r = scale_.device(*outline);
    const int t = outlineThickness(scale_);
    const RECT parts[4] = {{r.left, r.top, r.right, r.top + t},
                           {r.left, r.bottom - t, r.right, r.bottom},
                           {r.left, r.top + t, r.left + t, r.bottom - t},
                           {r.right - t, r.top + t, r.right, r.bottom - t}};
    // On top of every control; repainted where they land, so the dashes keep to the ring.
    HDWP moves = BeginDeferWindowPos(4);
    for (std::size_t i = 0; i < strips_.size() && moves != nullptr; ++i)
        moves = DeferWindowPos(moves, strips_[i], HWND_TOP, parts[i].left, parts[i].top, parts[i].right - parts[i].left,
                               parts[i].bottom - parts[i].top, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    if (moves != nullptr) EndDeferWindowPos(moves);
}

// --- the lesson ---

template <class Input>
void FormWindow::play(Input&& input) {
    if (hwnd_ == nullptr) return;
    // Focus moves while the session runs (a handler hiding the focused control) are its own.
    applying_ = true;
    const LessonStep step = std::forward<Input>(input)();
    applying_ = false;
    apply(step);
}

void FormWindow::apply(const LessonStep& step) {
    showOutline(step.outline);
    if (step.pressed != pressedLook_) {
        for (const Control* control : {pressedLook_, step.pressed})
            if (control != nullptr && control->kind() == ControlKind::PushButton)
                SendMessageW(windowOf(control), BM_SETSTATE, control == step.pressed, 0);
        pressedLook_ = step.pressed;
    }
    if (step.stage != stage_) {
        stage_ = step.stage;
        NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
    }
    if (step.focus != nullptr) {
        applying_ = true;
        SetFocus(windowOf(step.focus));
        applying_ = false;
    } else {
        focusShownControl();
    }
    if (!step.say.empty()) announcer_->say(step.say);
    if (step.error) showError(*step.error);
}

void FormWindow::showError(const RunTimeError& error) {
    if (captured_) {
        captured_ = false;
        ReleaseCapture();
    }
    showOutline(std::nullopt);
    MessageBoxW(hwnd_, widen(errorBoxText(session_.language(), error)).c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
    exitCode_ = kExitOnError;
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

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
    POINT point = pointOf(lParam);
    MapWindowPoints(control, hwnd_, &point, 1);
    pointer(message, point);
    return true;
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
    default: {
        const Direction direction = key == VK_LEFT    ? Direction::Left
                                    : key == VK_RIGHT ? Direction::Right
                                    : key == VK_UP    ? Direction::Up
                                                      : Direction::Down;
        play([&] { return session_.moveHold(direction, shift); });
        break;
    }
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

const Control* FormWindow::controlOf(HWND hwnd) const {
    for (const auto& [control, window] : windows_)
        if (window == hwnd) return control;
    return nullptr;
}

HWND FormWindow::windowOf(const Control* control) const {
    for (const auto& [c, window] : windows_)
        if (c == control) return window;
    return nullptr;
}

} // namespace velmora::win32
