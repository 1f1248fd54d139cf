// SPDX-License-Identifier: MIT
#pragma once

#include "language/embedded_files.h"

namespace velmora {

// The words drawn in the pictures in each translation, named "<code>/<picture>-<word>"
// ("de/complex-enzyme"): the PGM images of src/assets/words/, one for each word that differs
// from the English one.
std::span<const EmbeddedFile> embeddedPictureWords();

} // namespace velmora
