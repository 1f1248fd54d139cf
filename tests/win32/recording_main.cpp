// SPDX-License-Identifier: MIT
// Velmora.exe with stand-ins for Windows' speech and sound that record what the program asks of
// them, for the tests of the voice, the sounds and their switches. Each request is one line of the
// file named by VELMORA_AID_RECORD (recording.h); the command line is the program's own.
#include "recording.h"
#include "win32/run_main.h"

#include <cstdio>
#include <string>
#include <utility>

namespace {

using namespace velmora;

// Appends one request to the record, at once, so that the driver reads it while the program runs.
void record(std::string_view kind, const std::string& detail, const std::string& text) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(kRecordVariable, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    if (FILE* file = _wfopen(path, L"ab")) {
        std::fprintf(file, "%s\t%s\t%s\t%lld\n", std::string(kind).c_str(), detail.c_str(), text.c_str(),
                     microsecondsNow());
        std::fclose(file);
    }
}

/*
 * A voice for every language that writes down each sentence it is given, with its language, and
 * each stop. Never throws.
 */
class RecordingSpeaker final : public win32::Speaker {
public:
    explicit RecordingSpeaker(const Language& language) : code_(language.code()) {}
    bool hasVoice() const override { return true; }
    void speak(std::string_view utf8) override { record(kSpoken, code_, std::string(utf8)); }
    void silence() override { record(kSilenced, code_, {}); }

private:
    std::string code_;
};

/*
 * A sound output that writes down the number of each cue it is asked to play. Never throws.
 */
class RecordingPlayer final : public win32::CuePlayer {
public:
    void play(Cue cue) override { record(kPlayed, std::to_string(static_cast<int>(cue)), {}); }
};

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    win32::RunOptions options = win32::optionsFrom(commandLine != nullptr ? commandLine : "");
    options.aids = {[](const Language& language) { return std::make_unique<RecordingSpeaker>(language); },
                    [] { return std::make_unique<RecordingPlayer>(); }};
    return win32::runMain(kVelmoraProject, instance, showCommand, std::move(options));
}
