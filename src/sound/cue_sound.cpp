// SPDX-License-Identifier: MIT
#include "sound/cue_sound.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <span>

namespace velmora {
namespace {

// One note of a cue: when it starts and how long it sounds, in milliseconds, and its pitch.
struct Note {
    int startMs;
    int lengthMs;
    double hertz;
};

// Pitches of the notes used (equal temperament, A4 = 440 Hz).
constexpr double kC4 = 261.63, kE4 = 329.63, kG4 = 392.00, kC5 = 523.25, kE5 = 659.25, kG5 = 783.99, kA5 = 880.00;

// Each cue's notes. Rising for what goes forward, falling for what goes back; the bind is two
// notes struck together, the release a short rising run.
std::span<const Note> notesOf(Cue cue) {
    static constexpr Note pickUp[] = {{0, 70, kC5}, {60, 90, kE5}};
    static constexpr Note overTarget[] = {{0, 80, kA5}};
    static constexpr Note bound[] = {{0, 220, kG4}, {0, 220, kC5}};
    static constexpr Note released[] = {{0, 90, kC5}, {70, 90, kE5}, {140, 160, kG5}};
    static constexpr Note reset[] = {{0, 160, kC4}};
    static constexpr Note putBack[] = {{0, 90, kE4}, {80, 130, kC4}};
    switch (cue) {
    case Cue::PickUp: return pickUp;
    case Cue::OverTarget: return overTarget;
    case Cue::Bound: return bound;
    case Cue::Released: return released;
    case Cue::Reset: return reset;
    case Cue::PutBack: return putBack;
    }
    return reset;
}

constexpr int samplesIn(int ms) { return ms * kCueSampleRate / 1000; }

// A soft envelope: 5 ms up, then an exponential fall to near silence at the note's end.
double envelope(int i, int length) {
    const int rise = samplesIn(5);
    if (i < rise) return static_cast<double>(i) / rise;
    const double t = static_cast<double>(i - rise) / std::max(1, length - rise);
    return std::exp(-4.0 * t) * (1.0 - t);
}

void putLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

std::vector<std::int16_t> cueSamples(Cue cue) {
    const std::span<const Note> notes = notesOf(cue);
    int lengthMs = 0;
    for (const Note& note : notes) lengthMs = std::max(lengthMs, note.startMs + note.lengthMs);
    std::vector<double> mix(static_cast<std::size_t>(samplesIn(lengthMs)), 0.0);
    for (const Note& note : notes) {
        const int start = samplesIn(note.startMs);
        const int length = samplesIn(note.lengthMs);
        for (int i = 0; i < length; ++i) {
            const double phase = 2.0 * std::numbers::pi * note.hertz * i / kCueSampleRate;
            mix[static_cast<std::size_t>(start + i)] +=
                envelope(i, length) * (std::sin(phase) + 0.25 * std::sin(2 * phase));
        }
    }
    // Quiet enough to sit under speech: the loudest sample at about a quarter of full scale.
    double peak = 0.0;
    for (double value : mix) peak = std::max(peak, std::abs(value));
    const double scale = peak > 0.0 ? 8000.0 / peak : 0.0;
    std::vector<std::int16_t> samples;
    samples.reserve(mix.size());
    for (double value : mix) samples.push_back(static_cast<std::int16_t>(std::lround(value * scale)));
    return samples;
}

std::vector<std::uint8_t> cueWave(Cue cue) {
    const std::vector<std::int16_t> samples = cueSamples(cue);
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    for (char c : {'R', 'I', 'F', 'F'}) out.push_back(static_cast<std::uint8_t>(c));
    putLittleEndian(out, 36 + dataBytes, 4);
    for (char c : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}) out.push_back(static_cast<std::uint8_t>(c));
    putLittleEndian(out, 16, 4);                 // the format chunk's size
    putLittleEndian(out, 1, 2);                  // PCM
    putLittleEndian(out, 1, 2);                  // mono
    putLittleEndian(out, kCueSampleRate, 4);     // samples a second
    putLittleEndian(out, kCueSampleRate * 2, 4); // bytes a second
    putLittleEndian(out, 2, 2);                  // bytes a frame
    putLittleEndian(out, 16, 2);                 // bits a sample
    for (char c : {'d', 'a', 't', 'a'}) out.push_back(static_cast<std::uint8_t>(c));
    putLittleEndian(out, dataBytes, 4);
    for (std::int16_t sample : samples) putLittleEndian(out, static_cast<std::uint16_t>(sample), 2);
    return out;
}

} // namespace velmora
