// SPDX-License-Identifier: MIT
#pragma once

#include "model/ole_color.h"

namespace velmora {

// The outline every presentation draws where the dragged control would drop: a grey ring this
// wide, with white dashes this long every twice this long, seen on the black form, the white
// grounds and the red substrate alike.
inline constexpr Rgb kDragOutlineGrey{128, 128, 128};
inline constexpr Rgb kDragOutlineDashColour{255, 255, 255};
inline constexpr int kDragOutlineWidth = 2;
inline constexpr int kDragOutlineDash = 3;

} // namespace velmora
