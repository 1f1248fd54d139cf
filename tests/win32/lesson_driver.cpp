// SPDX-License-Identifier: MIT
// Plays Velmora.exe as a pupil would, from the Windows side of Wine: starts the program, moves the
// mouse (through the X server) and presses keys (SendInput), and checks what the window shows:
// which controls are visible, where the focus is, and the pixels on the screen.
//   lesson_driver SCENARIO ARGUMENT...   (see main() for the scenarios; each is a file of its own)
// Prints "[  PASSED  ] SCENARIO" when every check held, as GoogleTest does.
#include "driver.h"

#include <cstdio>
#include <exception>
#include <map>
#include <utility>

int main(int argc, char** argv) {
    using namespace velmora;
    using namespace velmora::driver;
    const std::vector<std::string> args(argv + 1, argv + argc);
    using Scenario = std::function<void(const std::vector<std::string>&)>;
    const auto withExe = [](void (*play)(const std::wstring&)) {
        return Scenario([play](const std::vector<std::string>& a) { play(windowsPath(a.at(1))); });
    };
    const auto withLanguage = [](void (*play)(const std::wstring&)) {
        return Scenario([play](const std::vector<std::string>& a) {
            check(language().code() == a[1], "the lesson speaks " + std::string(language().code()) + ", not " + a[1]);
            play(windowsPath(a[2]));
        });
    };
    const std::map<std::string, std::pair<std::size_t, Scenario>> scenarios{
        {"opens", {2, withExe(opensAsDescribed)}},
        {"mouse", {2, withExe(mouseLesson)}},
        {"keyboard", {2, withExe(keyboardLesson)}},
        {"names", {2, withExe(namesForScreenReaders)}},
        {"failure", {2, withExe(failureEndsTheProgram)}},
        {"closing", {2, withExe(closingEndsAtOnce)}},
        {"scaled", {2, withExe(scaledOneAndAHalfTimes)}},
        // marks DPI EXE
        {"marks", {3, [](const auto& a) { noMarksBehindTheOutline(windowsPath(a[2]), std::stoi(a[1])); }}},
        // language CODE EXE: the user's Windows language gives the lesson CODE, and the window is
        // as the form describes it in that language
        {"language", {3, withLanguage(opensAsDescribed)}},
        // voice CODE RECORDING_EXE / switches CODE RECORDING_EXE / novoice CODE EXE: in the language CODE
        {"voice", {3, withLanguage(voiceAndSoundsAsPreset)}},
        {"switches", {3, withLanguage(switchesInTheMenus)}},
        {"novoice", {3, withLanguage(noVoiceForTheLanguage)}},
        {"voices", {1, [](const auto&) { voicesByLanguage(); }}},
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
    std::printf("[  %s  ] %s\n", failures() == 0 ? "PASSED" : "FAILED", args[0].c_str());
    std::fflush(stdout);
    return failures() == 0 ? 0 : 1;
}
