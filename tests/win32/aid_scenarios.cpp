// SPDX-License-Identifier: MIT
// The program's own voice and sounds, played on the test build whose speech and sound record what
// they are asked (recording.h): what is spoken, in which language, and which cue sounds, by default,
// with the command line's presets, and after the switches in the context and system menus.
#include "driver.h"

#include "reaction/lesson_texts.h"
#include "recording.h"
#include "win32/aids.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace velmora::driver {
namespace {

struct Request {
    std::string kind;
    std::string detail;
    std::string text;
    long long micros = 0;
    friend bool operator==(const Request& a, const Request& b) {
        return a.kind == b.kind && a.detail == b.detail && a.text == b.text;
    }
};

/*
 * A fresh record for the runs that follow, named in the environment the program inherits, and
 * removed at the end. read() returns its requests in order (none before the program wrote any).
 */
class Record {
public:
    Record() {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        path_ = std::wstring(folder) + L"velmora-aids.txt";
        DeleteFileW(path_.c_str());
        SetEnvironmentVariableW(kRecordVariable, path_.c_str());
    }
    ~Record() { DeleteFileW(path_.c_str()); }
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;

    std::vector<Request> read() const {
        std::vector<Request> out;
        FILE* file = _wfopen(path_.c_str(), L"rb");
        if (file == nullptr) return out;
        std::string all;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) all.append(buffer, n);
        std::fclose(file);
        std::istringstream lines(all);
        for (std::string line; std::getline(lines, line);) {
            Request request;
            std::istringstream fields(line);
            std::string micros;
            std::getline(fields, request.kind, '\t');
            std::getline(fields, request.detail, '\t');
            std::getline(fields, request.text, '\t');
            std::getline(fields, micros);
            request.micros = std::stoll(micros);
            out.push_back(request);
        }
        return out;
    }

private:
    std::wstring path_;
};

Request spoken(std::string_view text) {
    return {std::string(kSpoken), std::string(language().code()), std::string(text)};
}
Request played(Cue cue) { return {std::string(kPlayed), std::to_string(static_cast<int>(cue)), {}}; }

std::string listed(const std::vector<Request>& requests) {
    std::string out;
    for (const Request& r : requests) out += "\n  " + r.kind + " " + r.detail + " " + r.text;
    return out.empty() ? " nothing" : out;
}

// What the lesson says as the substrate is picked up from where it lies.
std::string pickUpSentence() {
    return pickedUpText(language(), headingTo(centreOf("Picture2"), pixelRectOf(control("Picture1"))));
}

// Waits for a menu of the program to open or to be gone.
void waitForMenu(const Program& program, bool open, const std::string& when) {
    waitFor([&] { return (program.topWindow("#32768") != nullptr) == open; },
            (open ? "a menu to open " : "the menu to close ") + when);
}

// Chooses the item of the menu just opened that `key` (Down: the first, Up: the last) comes to.
void choose(const Program& program, WORD key, const std::string& when) {
    waitForMenu(program, true, when);
    press(key);
    press(VK_RETURN);
    waitForMenu(program, false, when);
}

} // namespace

void voiceAndSoundsAsPreset(const std::wstring& recordingExe) {
    const PixelRect substrate = pixelRectOf(control("Picture2"));
    const struct {
        const wchar_t* arguments;
        std::vector<Request> heard; // the pick-up's and the bind's requests, in order
    } runs[] = {
        {L"", {}},
        {L"--voice", {spoken(pickUpSentence()), spoken(announcementText(language(), Announcement::Bound))}},
        {L"--sound", {played(Cue::PickUp), played(Cue::Bound)}},
    };
    for (const auto& run : runs) {
        const std::string with = "with \"" + narrow(run.arguments) + "\"";
        const Record record;
        long long sent = 0;
        {
            const Program program(recordingExe, run.arguments);
            press(VK_TAB);
            program.expectFocus("Picture2", "Tab " + with);
            sent = microsecondsNow();
            press(VK_SPACE);
            program.waitForOutline(PixelPoint{substrate.x, substrate.y}, "picked up " + with);
            for (int step = 0; step < 11; ++step) press(VK_DOWN);
            press(VK_RIGHT, VK_SHIFT);
            press(VK_SPACE);
            program.expectShown(kBound, "the drop " + with);
        }
        // Between the pick-up and the bind, each arrow's step may speak or sound as well.
        std::vector<Request> heard = record.read();
        std::erase_if(heard, [sent](const Request& r) { return r.micros < sent; });
        const bool asked = heard.empty() ? run.heard.empty()
                                         : !run.heard.empty() && heard.front() == run.heard.front() &&
                                               heard.back() == run.heard.back();
        check(asked, with + " the pick-up and the bind asked for" + listed(heard) + "\ninstead of" + listed(run.heard));
        check(std::ranges::all_of(heard,
                                  [](const Request& r) { return r.kind != kSpoken || r.detail == language().code(); }),
              with + " every sentence is spoken in " + std::string(language().code()));
        if (!heard.empty())
            std::printf("%s: the pick-up's request came %.1f ms after its key was sent\n",
                        narrow(run.arguments).c_str(), static_cast<double>(heard.front().micros - sent) / 1000.0);
    }
}

void switchesInTheMenus(const std::wstring& recordingExe) {
    const PixelRect substrate = pixelRectOf(control("Picture2"));
    const Record record;
    {
        const Program program(recordingExe);
        const auto pickUpAndPutBack = [&](const std::string& when) {
            press(VK_SPACE);
            program.waitForOutline(PixelPoint{substrate.x, substrate.y}, "picked up " + when);
            press(VK_ESCAPE);
            program.waitForOutline(std::nullopt, "put back " + when);
        };
        press(VK_TAB);
        program.expectFocus("Picture2", "Tab");
        // Shift+F10 opens the context menu, Escape closes it.
        press(VK_F10, VK_SHIFT);
        waitForMenu(program, true, "with Shift+F10");
        press(VK_ESCAPE);
        waitForMenu(program, false, "after Escape");
        // A right click on the substrate opens it too, and picks nothing up; its first item is the voice.
        mouseTo(program, centreOf("Picture2"));
        mouseButton(true, 3);
        mouseButton(false, 3);
        waitForMenu(program, true, "with a right click");
        check(!program.outline(), "a right click picks nothing up");
        program.expectShown(kApart, "a right click");
        choose(program, VK_DOWN, "to switch the voice on");
        pickUpAndPutBack("with the voice on");
        // Alt+Space opens the system menu; its last item is the sounds.
        press(VK_SPACE, VK_MENU);
        choose(program, VK_UP, "in the system menu, to switch the sounds on");
        pickUpAndPutBack("with both on");
        // The Menu key opens the context menu as well.
        press(VK_APPS);
        choose(program, VK_DOWN, "to switch the voice off");
        pickUpAndPutBack("with the sounds on");
    }
    const Request cancelled = spoken(announcementText(language(), Announcement::Cancelled));
    const std::vector<Request> expected{spoken(pickUpSentence()),
                                        cancelled,
                                        played(Cue::PickUp),
                                        spoken(pickUpSentence()),
                                        played(Cue::PutBack),
                                        cancelled,
                                        {std::string(kSilenced), std::string(language().code()), {}},
                                        played(Cue::PickUp),
                                        played(Cue::PutBack)};
    const std::vector<Request> heard = record.read();
    check(heard == expected, "the switches asked for" + listed(heard) + "\ninstead of" + listed(expected));
}

void voicesByLanguage() {
    // SAPI names a voice's languages by their LCIDs: 407 German (Germany), C07 German (Austria),
    // 409 English (United States), 416 Portuguese (Brazil).
    const struct {
        const wchar_t* attribute;
        std::vector<std::string> tags;
    } rows[] = {
        {L"407", {"de-DE"}}, {L"409;C07", {"en-US", "de-AT"}}, {L"416", {"pt-BR"}}, {L"", {}}, {L"x407", {}},
    };
    const auto spoken = [](const std::vector<std::string>& tags) {
        std::string out;
        for (const std::string& tag : tags) out += " " + tag;
        return out.empty() ? std::string(" nothing") : out;
    };
    for (const auto& row : rows) {
        const std::vector<std::string> read = win32::voiceLanguages(row.attribute);
        check(read == row.tags,
              "a voice of \"" + narrow(row.attribute) + "\" speaks" + spoken(row.tags) + ", not" + spoken(read));
    }
}

} // namespace velmora::driver
