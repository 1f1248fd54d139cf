// SPDX-License-Identifier: MIT
#pragma once

#include "reaction/lesson_session.h"
#include "win32/accessibility.h"
#include "win32/painting.h"
#include "win32/win32_support.h"

#include "win32/windows_headers.h"

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::win32 {

// The four scene pictures, by PictureId.
using ScenePictures = std::vector<PictureBits>;

/*
 * The window of Form1 as a plain Win32 window: a presentation of one LessonSession. It makes one
 * child window per control in the model's stacking order (a STATIC label, a BUTTON and picture
 * areas of its own class with the sunken client edge), hides and shows them when the model's
 * change notice says so, turns the messages of the mouse, the keys, the focus, activation and
 * size into the session's inputs, and applies what each returns: the outline, the focus, the
 * pressed look of Reset, the stage and the sentence said aloud. It decides nothing about the lesson.
 *
 * A run-time error shows the modal error box captioned with the project title and then destroys the
 * window, so that the message loop ends with exitCode() kExitOnError; closing the window ends it
 * with 0.
 */
class FormWindow final {
public:
    // Every word is in `language`. `refuse`, when given, is asked first about every visibility
    // change; a failure status from it refuses the change as a failing window would (the test
    // build's injected failure).
    FormWindow(HINSTANCE instance, std::string_view title, Language language, const ScenePictures& pictures,
               VisibilityListener refuse = {});
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // Creates the window and its controls and shows it. Returns false, with GetLastError() set,
    // when Windows refuses one of them.
    bool create(int showCommand);

    // Handles a queued key message meant for the form before it is translated and dispatched.
    // Returns true when it was one of the lesson's keys, which is then used up.
    bool translateKey(const MSG& message);

    HWND hwnd() const { return hwnd_; }
    int exitCode() const { return exitCode_; }

private:
    class Accessibility;
    struct ControlWindow {
        const Control* control;
        HWND hwnd;
    };

    static LRESULT CALLBACK formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK pictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK stripProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK buttonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);
    LRESULT onFormMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onPictureMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onButtonMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    bool createControls();
    void layOut();
    void paintPicture(HWND hwnd);
    void paintStrip(HWND hwnd);

    // Hands one input to the session and applies its answer.
    template <class Input>
    void play(Input&& input);
    void apply(const LessonStep& step);
    void showOutline(const std::optional<PixelRect>& outline);
    void showError(const RunTimeError& error);

    // A mouse message of the form or of a control, at `point` in the form's client area.
    void pointer(UINT message, POINT point);
    // Passes a mouse message of `control` on to pointer(); false for any other message.
    bool forwardMouse(HWND control, UINT message, LPARAM lParam);
    void moveFocus(bool forward);
    void controlFocused(HWND hwnd);
    void focusShownControl();
    void setRingShown(bool shown);

    const Control* controlOf(HWND hwnd) const;
    HWND windowOf(const Control* control) const;

    HINSTANCE instance_;
    std::wstring title_;
    const ScenePictures& pictures_;
    VisibilityListener refuse_;
    LessonSession session_;
    HWND hwnd_ = nullptr;
    std::vector<ControlWindow> windows_; // stacking order, top first
    std::array<HWND, 4> strips_{};
    std::optional<PixelRect> outline_;
    std::vector<HFONT> fonts_;
    Scale scale_;
    std::unique_ptr<Announcer> announcer_;
    std::shared_ptr<Accessibility> accessibility_;
    std::string_view stage_;
    const Control* pressedLook_ = nullptr;
    std::map<WPARAM, HWND> keysDown_; // each key held, and the window its first press went to
    bool applying_ = false;           // a step is being played: focus moves are the session's own
    bool ringShown_ = true;           // the keyboard is in use, so the focused control shows its ring
    bool captured_ = false;           // the main button went down in the form and is not up yet
    int exitCode_ = 0;
};

} // namespace velmora::win32
