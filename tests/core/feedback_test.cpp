// SPDX-License-Identifier: MIT
// What a pupil hears from the program itself, when its voice and sounds are on: the cue and the
// voice's sentence of each step, who decides whether they are on, and the cues' sounds.
#include "reaction/feedback.h"
#include "reaction/lesson_session.h"
#include "reaction/lesson_texts.h"
#include "sound/cue_sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>

namespace velmora {
namespace {

const Language kEnglish;
constexpr PixelPoint kSubstrate{300, 150}, kEnzyme{330, 400}, kBackground{60, 400}, kReset{552, 88};

std::string cueName(const std::optional<Cue>& cue) {
    constexpr const char* kNames[] = {"pick up", "over target", "bound", "released", "reset", "put back"};
    return cue ? kNames[static_cast<int>(*cue)] : "-";
}

LessonStep key(LessonSession& s, Key k) {
    const LessonStep down = s.key({k, true});
    const LessonStep up = s.key({k, false});
    return down.cue || !down.voice.empty() ? down : up;
}

TEST(Feedback, EachStepAPupilShouldHearHasItsOwnCueAndTheVoiceSaysItsSentence) {
    LessonSession s(kEnglish, [](const Control&) { return kStatusOk; });
    struct Row {
        const char* what;
        LessonStep step;
        const char* cue;
    };
    // clang-format off
    const Row rows[] = {
        {"a press on the substrate picks it up", s.pointerPressed(1, kSubstrate), "pick up"},
        {"coming over the enzyme", s.pointerMoved(1, kEnzyme), "over target"},
        {"moving on over it says nothing more", s.pointerMoved(1, {kEnzyme.x + 5, kEnzyme.y}), "-"},
        {"dropping there binds", s.pointerReleased(1, kEnzyme), "bound"},
        {"a click on the complex releases", (s.pointerPressed(1, kEnzyme), s.pointerReleased(1, kEnzyme)), "released"},
        {"Reset", (s.pointerPressed(1, kReset), s.pointerReleased(1, kReset)), "reset"},
        {"a drop on nothing", (s.pointerPressed(1, kSubstrate), s.pointerReleased(1, kBackground)), "put back"},
        {"Space on the substrate picks it up", (s.focusMoved(s.form().find("Picture2")), key(s, Key::Space)), "pick up"},
        {"Escape puts it back", key(s, Key::Escape), "put back"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(cueName(row.step.cue), row.cue);
        EXPECT_EQ(row.step.voice, row.step.say);
    }
    EXPECT_TRUE(rows[7].step.voice.starts_with("Substrate picked up."));
    // Tab from the substrate: the voice names Reset and what it does; a screen reader says that itself.
    const LessonStep tab = key(s, Key::Tab);
    const ControlText button = controlText(kEnglish, "Command1");
    EXPECT_EQ(cueName(tab.cue), "-");
    EXPECT_TRUE(tab.say.empty());
    EXPECT_EQ(tab.voice, std::string(button.name) + ". " + std::string(button.description));
}

TEST(Feedback, APresetVoiceStaysSilentUnderAScreenReaderButThePupilsSwitchSpeaks) {
    struct Row {
        bool preset, screenReader, toggled, voice;
    };
    const Row rows[] = {
        {false, false, false, false}, {true, false, false, true}, {true, true, false, false},
        {true, true, true, true},     {false, true, true, true},  {true, false, true, false},
    };
    for (const Row& row : rows) {
        Feedback feedback(row.preset, false);
        feedback.setScreenReaderRunning(row.screenReader);
        if (row.toggled) feedback.toggle(Aid::Voice);
        EXPECT_EQ(feedback.on(Aid::Voice), row.voice) << row.preset << row.screenReader << row.toggled;
        EXPECT_FALSE(feedback.on(Aid::Sound));
    }
    Feedback sound(false, true);
    sound.setScreenReaderRunning(true);
    EXPECT_TRUE(sound.on(Aid::Sound));
    sound.toggle(Aid::Sound);
    EXPECT_FALSE(sound.on(Aid::Sound));
}

TEST(Feedback, TheCuesAreShortDistinctAndNeverAtFullScale) {
    std::set<std::vector<std::int16_t>> distinct;
    for (Cue cue : kAllCues) {
        const std::vector<std::int16_t> samples = cueSamples(cue);
        SCOPED_TRACE(cueName(cue));
        ASSERT_FALSE(samples.empty());
        EXPECT_LE(samples.size(), kCueSampleRate / 3);
        const auto peak = std::ranges::max(samples, {}, [](std::int16_t v) { return std::abs(v); });
        EXPECT_GT(std::abs(peak), 2000);
        EXPECT_LT(std::abs(peak), 16000);
        // A gentle end: no click as the sound stops.
        EXPECT_LT(std::abs(samples.back()), 200);
        distinct.insert(samples);
        const std::vector<std::uint8_t> wave = cueWave(cue);
        ASSERT_EQ(wave.size(), 44 + samples.size() * 2);
        EXPECT_EQ(std::string(wave.begin(), wave.begin() + 4), "RIFF");
        EXPECT_EQ(wave[44] | wave[45] << 8, static_cast<std::uint16_t>(samples[0]));
    }
    EXPECT_EQ(distinct.size(), std::size(kAllCues));
}

} // namespace
} // namespace velmora
