// SPDX-License-Identifier: MIT
#include "win32/form_window.h"

#include "reaction/lesson_texts.h"
#include "runtime/project_description.h"

#include <string>
#include <utility>

namespace velmora::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"VelmoraForm";
constexpr wchar_t kPictureAreaClass[] = L"VelmoraPictureArea";
constexpr wchar_t kOutlineClass[] = L"VelmoraOutline";
constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = 0;

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

} // namespace

FormWindow::FormWindow(HINSTANCE instance, std::string_view title, Language language, const ScenePictures& pictures,
                       Feedback feedback, AidPlatform aids, VisibilityListener refuse)
    : instance_(instance), title_(widen(title)), pictures_(pictures), refuse_(std::move(refuse)),
      session_(std::move(language),
               [this](const Control& control) {
                   if (refuse_ && failed(refuse_(control))) return kStatusFail;
                   HWND window = windowOf(&control);
                   if (window == nullptr) return kStatusFail;
                   ShowWindow(window, control.visible() ? SW_SHOWNA : SW_HIDE);
                   return kStatusOk;
               }),
      stage_(session_.stageSentence()), feedback_(feedback), aids_(std::move(aids)) {}

FormWindow::~FormWindow() {
    accessibility_.reset();
    hideNotice();
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
    accessibility_ = makeAccessibility();
    if (!createControls()) return false;
    layOut();
    addSwitchesToSystemMenu();
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    screenReaderChanged();
    return true;
}

bool FormWindow::createControls() {
    // Each control goes under the ones made before it, so the first (the top of the stack) stays on top.
    // In a language written right to left the captions are read so (the heading still starts at its
    // left edge); the form is not mirrored (no WS_EX_LAYOUTRTL): every control keeps its place.
    const DWORD reading = rightToLeft(session_.language().code()) ? WS_EX_RTLREADING : 0;
    for (const Control& control : session_.form().controls()) {
        const ControlRecord& record = control.record();
        const DWORD shown = record.visible ? WS_VISIBLE : 0;
        const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(record.index));
        HWND window = nullptr;
        switch (record.kind) {
        case ControlKind::Label:
            window = CreateWindowExW(reading, L"STATIC", widen(captionText(session_.language(), control)).c_str(),
                                     WS_CHILD | WS_CLIPSIBLINGS | SS_LEFTNOWORDWRAP | SS_NOPREFIX | shown, 0, 0, 0, 0,
                                     hwnd_, id, instance_, nullptr);
            if (window != nullptr)
                SetWindowSubclass(window, systemControlProc, kSubclass, reinterpret_cast<DWORD_PTR>(this));
            break;
        case ControlKind::PushButton:
            window = CreateWindowExW(reading, L"BUTTON", widen(captionText(session_.language(), control)).c_str(),
                                     WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | BS_PUSHBUTTON | shown, 0, 0, 0, 0, hwnd_,
                                     id, instance_, nullptr);
            if (window != nullptr)
                SetWindowSubclass(window, systemControlProc, kSubclass, reinterpret_cast<DWORD_PTR>(this));
            break;
        case ControlKind::PictureArea:
            // The window's text is the picture's accessible name, for tools that read only that. It
            // draws its frame itself (no client edge), so that the frame is part of the control.
            window = CreateWindowExW(
                0, kPictureAreaClass, widen(controlText(session_.language(), record.name).name).c_str(),
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

    scaled_.clear();
    for (const PictureBits& picture : pictures_) scaled_.emplace_back(picture, scale_);
    for (HFONT font : fonts_) DeleteObject(font);
    fonts_.clear();
    for (const auto& [control, window] : windows_) {
        const RECT r = scale_.device(pixelRectOf(*control));
        SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        if (const auto& font = control->record().font) {
            std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
            caption.resize(
                static_cast<std::size_t>(GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()))));
            if (HFONT made = fontFor(scale_.logFont(*font), caption)) {
                fonts_.push_back(made);
                SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
            }
        }
    }
    const std::optional<PixelRect> outline = std::exchange(outline_, std::nullopt);
    showOutline(outline);
}

void FormWindow::resized(WPARAM kind, LPARAM size) {
    if (kind == SIZE_MINIMIZED) return;
    const int width = scale_.form(LOWORD(size) - 1) + 1;
    const int height = scale_.form(HIWORD(size) - 1) + 1;
    play([&] { return session_.resized(width, height); });
}

void FormWindow::dpiChanged(WPARAM dpi, LPARAM suggested) {
    scale_ = Scale(HIWORD(dpi));
    const auto* place = reinterpret_cast<const RECT*>(suggested);
    SetWindowPos(hwnd_, nullptr, place->left, place->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    layOut();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// --- the lesson's answers ---

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
        notice_.clear();
        hideNotice();
        NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
    }
    if (step.focus != nullptr) {
        applying_ = true;
        SetFocus(windowOf(step.focus));
        applying_ = false;
    }
    if (!step.say.empty()) announcer_->say(step.say);
    speakAndSound(step);
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
