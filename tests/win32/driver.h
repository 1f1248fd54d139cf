// SPDX-License-Identifier: MIT
// What every scenario of the lesson driver shares: checks and waits, one run of the program under
// test, the pupil's pointer and keys, and the screen as it shows the form.
#pragma once

#include "language/language.h"
#include "model/form_model.h"
#include "reaction/form_geometry.h"
#include "win32/win32_support.h"

#include <windows.h>

#undef interface

#include <functional>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::driver {

using win32::narrow;
using win32::widen;

using Names = std::set<std::string>;
inline const Names kApart{"Label1", "Command1", "Picture1", "Picture2"};
inline const Names kBound{"Label1", "Command1", "Picture4"};
inline const Names kReleased{"Label1", "Command1", "Picture1", "Picture3"};

// --- checks and waits ---

// Counts a failed check and says what failed; failures() is how many did.
void check(bool ok, const std::string& what);
int failures();

// A wait that ran out: the scenario cannot go on.
struct Stuck : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Waits for `done`; throws Stuck naming `what` when it has not come true in time.
void waitFor(const std::function<bool()>& done, const std::string& what, int milliseconds = 10000);
// A check that may take a while to come true, as the screen catches up: waits for `done`, and
// reports `problem()` if it never holds.
void eventually(const std::function<bool()>& done, const std::function<std::string()>& problem);

// A path as given on the Linux side, as Wine's Z: drive shows it.
std::wstring windowsPath(const std::string& path);
std::string windowText(HWND window);
std::string className(HWND window);

// What the program shows is expected in the language it chooses from the same setting: the
// first of the user's Windows display languages that the lesson speaks.
const Language& language();
// The form as the program describes it: names, places, pictures and words to expect.
const FormModel& form();
const Control& control(const std::string& name);
PixelPoint centreOf(const std::string& name);

// --- the program under test ---

/*
 * One run of a Velmora executable: started at construction, its window found and brought to the
 * front (Stuck when it cannot be); ended at destruction if it is still running.
 */
class Program {
public:
    // `arguments`: the program's command line after its name.
    explicit Program(const std::wstring& exe, const std::wstring& arguments = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    HWND form() const { return form_; }
    HWND window(const std::string& name) const;
    // A visible top-level window of the program with that class, or nullptr.
    HWND topWindow(const std::string& windowClass) const;

    Names shown() const;
    void expectShown(const Names& expected, const std::string& when) const;
    // The control with the keyboard focus, or "" for none of the form's.
    std::string focused() const;
    void expectFocus(const std::string& name, const std::string& when) const;
    // Whether a window of the program holds the mouse.
    bool capturing() const;

    // The outline's outer rectangle in client pixels (the four strips together), or none while
    // it is hidden.
    std::optional<PixelRect> outline() const;
    // Waits for the outline to be gone, or to be the substrate's size with its top-left at `topLeft`.
    void waitForOutline(std::optional<PixelPoint> topLeft, const std::string& when) const;

    // Waits for the program to end; its exit status, or none when it is still running.
    std::optional<DWORD> waitForExit(int milliseconds) const;

private:
    PROCESS_INFORMATION process_{};
    HWND form_ = nullptr;
};

// --- input ---

void mouseTo(const Program& program, PixelPoint at);
// The main button (1) or another (3: the right one) goes down or up.
void mouseButton(bool down, int button = 1);
void click(const Program& program, PixelPoint at);
void press(WORD vk, WORD modifier = 0);
// Presses on the substrate at `grab`, moves to `to` with the button down (checking that the
// outline follows at the grab offset); with `escape`, gives the drag up with Escape there (the
// outline and the mouse's capture go at once); lets go.
void dragSubstrate(const Program& program, PixelPoint grab, PixelPoint to, bool escape = false);

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

// The form's client area as the screen shows it.
Capture capture(const Program& program);
// The window once it has been wholly repainted and the screen shows no more change.
Capture repainted(const Program& program);
// The caption of `control`, within `face` on the screen, is as wide and as high as GDI draws it
// in the control's font at `dpi`.
void expectCaption(const Program& program, const Control& control, const PixelRect& face, int dpi = 96);
// Every picture area shows its picture 1:1 in its frame, the heading its text, the rest the form's
// colour, for the controls `shown`; `ring` is the control that shows the focus mark ("" for none).
void expectScreen(const Program& program, const Names& shown, const std::string& ring, const std::string& when);

// --- the scenarios, each a file of its own ---

void opensAsDescribed(const std::wstring& exe);
void mouseLesson(const std::wstring& exe);
void keyboardLesson(const std::wstring& exe);
void namesForScreenReaders(const std::wstring& exe);
void failureEndsTheProgram(const std::wstring& exe);
void closingEndsAtOnce(const std::wstring& exe);
void scaledOneAndAHalfTimes(const std::wstring& exe);
void noMarksBehindTheOutline(const std::wstring& exe, int dpi);
void voiceAndSoundsAsPreset(const std::wstring& recordingExe);
void switchesInTheMenus(const std::wstring& recordingExe);
void noVoiceForTheLanguage(const std::wstring& exe);
void voicesByLanguage();
void versionRecordAndIcon(const std::wstring& exe, const std::string& version, const std::string& versionText);
// MSI after an older version; then another build of the same version (REBUILT), which replaces
// it; then the older version, which does not install over it; then removal.
void installerInstallsUpgradesAndRemoves(const std::wstring& msi, const std::wstring& rebuilt,
                                         const std::wstring& olderMsi, const std::string& version,
                                         const std::string& olderVersion, const std::string& upgradeCode);

} // namespace velmora::driver
