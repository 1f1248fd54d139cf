// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace velmora {

// The short sounds the lesson can play, one for each kind of step a pupil should hear.
enum class Cue : std::uint8_t {
    PickUp,     // the substrate was picked up (by pointer or keyboard)
    OverTarget, // the dragged substrate came over the enzyme
    Bound,      // the enzyme-substrate complex formed
    Released,   // the complex released the products
    Reset,      // the lesson went back to the start
    PutBack,    // a drop missed, or a drag or hold was given up
};

inline constexpr Cue kAllCues[] = {Cue::PickUp, Cue::OverTarget, Cue::Bound, Cue::Released, Cue::Reset, Cue::PutBack};

} // namespace velmora
