// SPDX-License-Identifier: MIT
#include "win32/run_main.h"

#include "assets/picture_words.h"
#include "language/language.h"
#include "reaction/lesson_texts.h"
#include "win32/form_window.h"

#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace velmora::win32 {
namespace {

// The system's own words for a Windows error code.
std::wstring systemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring out = length != 0 ? std::wstring(text, length) : L"Windows error " + std::to_wstring(error);
    if (text != nullptr) LocalFree(text);
    return out;
}

} // namespace

RunOptions optionsFrom(std::string_view commandLine) {
    bool voice = false;
    bool sound = false;
    constexpr std::string_view kSpaces = " \t";
    for (std::size_t at = commandLine.find_first_not_of(kSpaces); at != std::string_view::npos;) {
        const std::size_t end = commandLine.find_first_of(kSpaces, at);
        const std::string_view word = commandLine.substr(at, end - at);
        if (const std::optional<Aid> aid = aidPresetBy(word)) (*aid == Aid::Voice ? voice : sound) = true;
        at = commandLine.find_first_not_of(kSpaces, end);
    }
    return {Feedback(voice, sound)};
}

int runMain(const ProjectDescription& project, HINSTANCE instance, int showCommand, RunOptions options) {
    const std::wstring title = widen(project.title);
    const auto fail = [&title](const std::wstring& text) {
        MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
        return kExitOnError;
    };
    try {
        // Every text and picture word is in the first of the user's Windows display languages
        // that the lesson speaks.
        const Language language(languageForTags(userLanguageTags()));
        // Accessible objects are COM objects; screen readers call them on this, the one thread.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);

        ScenePictures pictures;
        try {
            for (const PictureId id : kAllPictures) pictures.emplace_back(lessonPicture(id, language));
        } catch (const PictureFormatError& error) {
            // No half-built window: the box, then the end.
            return fail(widen(damagedPictureText(language, error.what())));
        }

        int status = kExitOnError;
        {
            FormWindow window(instance, project.title, language, pictures, options.presets, std::move(options.aids),
                              std::move(options.refuse));
            if (!window.create(showCommand)) return fail(systemMessage(GetLastError()));
            MSG message;
            BOOL got;
            while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
                if (window.translateKey(message)) continue;
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            if (got == 0) status = window.exitCode();
        }
        if (SUCCEEDED(com)) CoUninitialize();
        return status;
    } catch (const std::exception& error) {
        return fail(widen(error.what()));
    }
}

} // namespace velmora::win32
