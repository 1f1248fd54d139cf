// SPDX-License-Identifier: MIT
#pragma once

#include "sound/cue.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora {

// The two aids a pupil can switch on: the program's own voice, and its sound cues.
enum class Aid : std::uint8_t { Voice, Sound };

inline constexpr Aid kAllAids[] = {Aid::Voice, Aid::Sound};

// The aid that a word of the command line presets at start ("--voice", "--sound"), if any.
std::optional<Aid> aidPresetBy(std::string_view word);

/*
 * The run's choice of the program's own voice and sound cues, both off unless preset or switched
 * on. Presets come from a teacher's link or the command line; the switch is the pupil's. While a
 * screen reader runs, a preset voice stays silent, so that nothing is said twice; a voice the
 * pupil switches on speaks all the same. Nothing here is stored anywhere: the choice lasts for
 * the run. Never throws.
 */
class Feedback final {
public:
    Feedback() = default;
    Feedback(bool voicePreset, bool soundPreset);

    // Whether the platform reports a screen reader running.
    void setScreenReaderRunning(bool running) { screenReader_ = running; }
    // Whether the aid is on now.
    bool on(Aid aid) const;
    // The pupil's switch: turns the aid off if it is on now, else on.
    void toggle(Aid aid);

private:
    enum class Choice : std::uint8_t { Off, Preset, Switched };
    Choice voice_ = Choice::Off;
    bool sound_ = false;
    bool screenReader_ = false;
};

} // namespace velmora
