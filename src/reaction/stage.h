// SPDX-License-Identifier: MIT
#pragma once

#include "model/form_model.h"

#include <cstdint>

namespace velmora {

// Where the lesson stands, read from the visible flags of the four picture areas.
enum class Stage : std::uint8_t {
    Apart,    // enzyme and substrate shown: the start, and after every reset
    Bound,    // only the enzyme-substrate complex shown
    Released, // enzyme and products shown
    Other,    // any other combination: only a handler whose step failed leaves the form in one
};

Stage stageOf(const FormModel& form);

} // namespace velmora
