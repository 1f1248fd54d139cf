// SPDX-License-Identifier: MIT
#pragma once

#include "language/language.h"
#include "sound/cue.h"

#include "win32/windows_headers.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::win32 {

/*
 * The platform's speech in one language, as the window uses it for the program's own voice.
 * Nothing it does throws or blocks: a sentence is handed over and spoken in the background.
 */
class Speaker {
public:
    virtual ~Speaker() = default;
    // Whether it has a voice that speaks the language it was made for.
    virtual bool hasVoice() const = 0;
    // Speaks `utf8`, cutting off the sentence still being spoken; nothing without a voice.
    virtual void speak(std::string_view utf8) = 0;
    // Stops the sentence still being spoken.
    virtual void silence() = 0;
};

/*
 * The platform's sound output for the lesson's cues, every cue prepared when it is made so that
 * playing one only starts it. Playing never throws or waits; without a sound device it is silent.
 */
class CuePlayer {
public:
    virtual ~CuePlayer() = default;
    // Starts `cue`, cutting off the one still sounding.
    virtual void play(Cue cue) = 0;
};

// Where the window gets its speech and its sounds from: Windows' own (systemAids()), or a test's
// stand-ins that record what they are asked. Each is made only once its aid is first switched on.
struct AidPlatform {
    std::function<std::unique_ptr<Speaker>(const Language&)> speaker;
    std::function<std::unique_ptr<CuePlayer>()> player;
};

// The languages a SAPI voice's "Language" attribute names (hexadecimal LCIDs separated by ';'), as
// language tags in its order: "407;C07" gives "de-DE" and "de-AT". What Windows cannot name is left
// out; a voice whose attribute is not such a list names none.
std::vector<std::string> voiceLanguages(const wchar_t* languages);

// Speech through SAPI (sapi.dll, reached through COM when the voice is first switched on) with
// the installed voice the core's voiceFor() chooses for the lesson, and the cues through
// PlaySound of winmm.dll, loaded from the system folder. Where either is missing, the aid is silent.
AidPlatform systemAids();

} // namespace velmora::win32
