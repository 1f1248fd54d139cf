// SPDX-License-Identifier: MIT
#pragma once

// The four scene pictures, stored as picture records inside the program.

#include <cstdint>
#include <span>

#include "assets/scene_picture.h"
#include "model/picture_id.h"

namespace velmora {

// The stored picture record of `id`, exactly as kept in src/assets/records/<name>.rec.
std::span<const std::uint8_t> storedPictureRecord(PictureId id);

// Decodes the stored record of `id`. Throws PictureFormatError if it is damaged.
ScenePicture loadScenePicture(PictureId id);

} // namespace velmora
