// SPDX-License-Identifier: MIT
#pragma once

#include "reaction/feedback.h"
#include "reaction/lesson_session.h"
#include "win32/accessibility.h"
#include "win32/aids.h"
#include "win32/painting.h"
#include "win32/win32_support.h"

#include "win32/windows_headers.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::win32 {

// The four scene pictures, by PictureId.
using ScenePictures = std::vector<PictureBits>;

/*
 * The window of Form1 as a plain Win32 window: a presentation of one LessonSession. It makes one
 * child window per control in the model's stacking order (a STATIC label, a BUTTON and picture
 * areas of its own class that draw their sunken frame inside themselves), hides and shows them
 * when the model's change notice says so, turns the messages of the mouse, the keys, the focus,
 * activation and size into the session's inputs, and applies what each returns: the outline, the
 * focus, the pressed look of Reset, the stage and the sentence said aloud, and where the pupil has
 * switched them on (its context menu and system menu) the program's own voice and sound cues. Which key does what,
 * where the focus goes and what each control is to a screen reader are the session's answers; the
 * window decides nothing about the lesson.
 *
 * A run-time error shows the modal error box captioned with the project title and then destroys the
 * window, so that the message loop ends with exitCode() kExitOnError; closing the window ends it
 * with 0.
 */
class FormWindow final {
public:
    // Every word is in `language`. `feedback` holds the presets of the voice and the sounds, which
    // speak and sound through `aids`. `refuse`, when given, is asked first about every visibility
    // change; a failure status from it refuses the change as a failing window would (the test
    // build's injected failure).
    FormWindow(HINSTANCE instance, std::string_view title, Language language, const ScenePictures& pictures,
               Feedback feedback, AidPlatform aids, VisibilityListener refuse = {});
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // Creates the window and its controls and shows it. Returns false, with GetLastError() set,
    // when Windows refuses one of them.
    bool create(int showCommand);

    // Hands a queued press or release of one of the lesson's keys, meant for the form, to the
    // session before it is translated and dispatched. Returns true when the session took it, which
    // is then used up (no button clicks itself on Space, no dialog key moves the focus).
    bool translateKey(const MSG& message);

    HWND hwnd() const { return hwnd_; }
    int exitCode() const { return exitCode_; }

private:
    class Accessibility;
    struct ControlWindow {
        const Control* control;
        HWND hwnd;
    };
    // Posted by an accessible object's default action: activate the control with this ID (wParam).
    static constexpr UINT kActivateMessage = WM_APP + 1;
    // The ID under which the form subclasses the system's controls it uses, the label and the button.
    static constexpr UINT_PTR kSubclass = 1;
    // The menu items of the switches, by Aid: below the system menu's own commands, and
    // multiples of 16 as the system menu's IDs must be.
    static constexpr std::array<UINT, std::size(kAllAids)> kSwitchItems{0x0110, 0x0120};
    // The mouse, the one pointer the window hands the session.
    static constexpr PointerId kMouse = 1;

    // Window procedures (form_procedures.cpp): each message to its handler below.
    static LRESULT CALLBACK formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK pictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK stripProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK systemControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                              DWORD_PTR self);
    // Runs `handler` for one message of `hwnd`, after answering a screen reader's WM_GETOBJECT;
    // an exception out of it ends the program with one box.
    template <class Handler>
    LRESULT dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Handler&& handler);
    LRESULT onFormMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onPictureMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onButtonMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // The window and its controls (form_window.cpp).
    bool createControls();
    void layOut();
    void resized(WPARAM kind, LPARAM size);
    void dpiChanged(WPARAM dpi, LPARAM suggested);

    // Painting (form_painting.cpp).
    void paintFormBackground(HDC dc);
    LRESULT labelColours(HDC dc, HWND label);
    void paintPicture(HWND hwnd);
    void paintStrip(HWND hwnd);
    LRESULT paintButton(HWND hwnd, WPARAM wParam, LPARAM lParam);
    void showOutline(const std::optional<PixelRect>& outline);

    // Accessibility (form_accessibility.cpp): the answer to WM_GETOBJECT for the form or a control,
    // 0 to leave it to the default window procedure.
    LRESULT accessibleObject(HWND hwnd, WPARAM wParam, LPARAM lParam);
    std::shared_ptr<AccessibleSource> makeAccessibility();

    // Hands one input to the session and applies its answer; whether the session took the key.
    template <class Input>
    bool play(Input&& input);
    void apply(const LessonStep& step);
    void showError(const RunTimeError& error);

    // The program's own voice and sounds, and their switches (form_aids.cpp).
    static UINT switchItem(Aid aid);
    void addSwitchesToSystemMenu();
    void appendSwitches(HMENU menu) const;
    // The context menu of the form or a control, at `at` on the screen (-1: opened by the keyboard);
    // false for a point outside the client area, where the system shows its own.
    bool contextMenu(LPARAM at);
    // Toggles the aid of a menu item; false for any other command.
    bool switchCommand(UINT id);
    void screenReaderChanged();
    // Makes what an aid newly switched on needs, checks the menu items, and tells once that there
    // is no voice for the lesson's language.
    void aidsChanged();
    void speakAndSound(const LessonStep& step);
    void showNotice(const std::wstring& text);
    void hideNotice();

    // Input translation (form_input.cpp): mouse, keys, focus and activation into the session's calls.
    // A mouse message of the form or of a control, at `point` in the form's client area.
    void pointer(UINT message, POINT point);
    // Passes a mouse message of `control` on to pointer(); false for any other message.
    bool forwardMouse(HWND control, UINT message, LPARAM lParam);
    void captureChanged(HWND taker);
    void deactivated();
    // A click of Reset by the keyboard or a screen reader (BN_CLICKED); false for other commands.
    bool command(WPARAM wParam, LPARAM lParam);
    // The control with this ID activated, as an accessible object's default action asks.
    void activateById(WPARAM id);
    void controlFocused(HWND hwnd);
    void formFocused();
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
    std::vector<ScaledPicture> scaled_; // pictures_ at scale_, by PictureId
    std::unique_ptr<Announcer> announcer_;
    std::shared_ptr<AccessibleSource> accessibility_;
    std::string_view stage_;
    Feedback feedback_;
    AidPlatform aids_;
    std::unique_ptr<Speaker> speaker_;  // made when the voice is first on
    std::unique_ptr<CuePlayer> player_; // made when the sounds are first on
    std::wstring notice_;               // after the stage in the window's description, until it changes
    HWND balloon_ = nullptr;            // the notice shown, until the stage changes
    bool noVoiceTold_ = false;
    const Control* pressedLook_ = nullptr;
    bool applying_ = false; // a step is being played: focus moves are the session's own
    bool ringShown_ = true; // the keyboard is in use, so the focused control shows its ring
    bool captured_ = false; // the main button went down in the form and is not up yet
    int exitCode_ = 0;
};

template <class Input>
bool FormWindow::play(Input&& input) {
    if (hwnd_ == nullptr) return false;
    const bool dragging = session_.dragging();
    // Focus moves while the session runs (a handler hiding the focused control) are its own.
    applying_ = true;
    const LessonStep step = std::forward<Input>(input)();
    applying_ = false;
    apply(step);
    // A drag given up while the button is still down (Escape): the mouse is let go as well, and
    // its release later is nobody's.
    if (dragging && !session_.dragging() && captured_) ReleaseCapture();
    return step.handled;
}

} // namespace velmora::win32
