// SPDX-License-Identifier: MIT
#pragma once

#include "model/ole_color.h"

namespace velmora {

// The keyboard focus mark every presentation draws around a focused control: a blue band this
// wide just inside the control, with a white line inside it. The blue's contrast (WCAG's
// relative luminance) is 3.3:1 against the black form and 4.1:1 against the button face of
// Reset (212, 208, 200), short of 4.5:1 there; the white line parts it from the black, white and
// red of the pictures.
inline constexpr Rgb kFocusRingColour{0, 90, 200};
inline constexpr int kFocusRingWidth = 3;

} // namespace velmora
