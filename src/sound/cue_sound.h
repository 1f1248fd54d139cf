// SPDX-License-Identifier: MIT
#pragma once

#include "sound/cue.h"

#include <cstdint>
#include <vector>

namespace velmora {

// Every cue is 16-bit signed mono PCM at this rate.
inline constexpr int kCueSampleRate = 22050;

// The cue's sound, synthesised from a few soft notes: each a sine with its octave, a quick rise and
// a gentle fall, so that none clicks or startles. Never empty; at most a third of a second long.
std::vector<std::int16_t> cueSamples(Cue cue);

// The same sound as a complete RIFF WAVE file in memory, for players that take a whole file.
std::vector<std::uint8_t> cueWave(Cue cue);

} // namespace velmora
