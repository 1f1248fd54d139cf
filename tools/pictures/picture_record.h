// SPDX-License-Identifier: MIT
#pragma once

// Frames a drawn 203 x 203 image as a picture record: record length, picture stream header,
// then an uncompressed 24-bit Windows BMP with rows bottom to top.

#include <cstdint>
#include <vector>

class QImage;

namespace velmora::pictures {

std::vector<std::uint8_t> encodePictureRecord(const QImage& image);

} // namespace velmora::pictures
