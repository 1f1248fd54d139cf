// SPDX-License-Identifier: MIT
#pragma once

#include "model/form_model.h"

#include <array>
#include <ostream>

namespace velmora::testing {

// The visible flags of Picture1..Picture4, the whole state of the reaction.
using Flags = std::array<bool, 4>;

inline constexpr Flags kApart{true, true, false, false};
inline constexpr Flags kBound{false, false, false, true};
inline constexpr Flags kReleased{true, false, true, false};

inline Flags flagsOf(FormModel& form) {
    return {form.Picture1().control().visible(), form.Picture2().control().visible(),
            form.Picture3().control().visible(), form.Picture4().control().visible()};
}

// Puts the model into `flags` directly, without handlers and without telling any listener.
inline void force(FormModel& form, const Flags& flags) {
    auto listener = form.visibilityListener();
    form.setVisibilityListener({});
    const PictureArea areas[] = {form.Picture1(), form.Picture2(), form.Picture3(), form.Picture4()};
    for (std::size_t i = 0; i < 4; ++i) (void)areas[i].setVisible(toVbBool(flags[i]));
    form.setVisibilityListener(std::move(listener));
}

} // namespace velmora::testing
