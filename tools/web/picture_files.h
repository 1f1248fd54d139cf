// SPDX-License-Identifier: MIT
#pragma once

// The picture files fill_page writes for the build to turn into the page's PNG files: a part of a
// picture as a binary PPM file, and a part laid over the whole picture as a binary PAM file. Each
// says whether it was written.

#include "assets/scene_picture.h"

#include <fstream>
#include <string>
#include <string_view>

namespace velmora {

// `pixels`, `width` by `height` as pixelsOf() gives them, as a binary PPM file at `path`.
inline bool writePicture(const std::string& path, int width, int height, std::string_view pixels) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << ' ' << height << "\n255\n";
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

// The part `box` of `picture` as a binary PAM file at `path` of the whole picture's size, opaque
// in `box` and transparent elsewhere. Laid over the whole English picture, it is scaled on the
// same grid as the picture, so nothing of what it covers shows at its edges.
inline bool writeLaid(const std::string& path, const ScenePicture& picture, const PictureBox& box) {
    std::ofstream out(path, std::ios::binary);
    out << "P7\nWIDTH " << ScenePicture::kWidth << "\nHEIGHT " << ScenePicture::kHeight
        << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    for (int y = 0; y < ScenePicture::kHeight; ++y) {
        for (int x = 0; x < ScenePicture::kWidth; ++x) {
            const ScenePicture::Rgb rgb = picture.pixel(x, y);
            const bool laid = x >= box.left && x <= box.right && y >= box.top && y <= box.bottom;
            const char pixel[4] = {static_cast<char>(laid ? rgb.r : 0), static_cast<char>(laid ? rgb.g : 0),
                                   static_cast<char>(laid ? rgb.b : 0), static_cast<char>(laid ? 255 : 0)};
            out.write(pixel, 4);
        }
    }
    return static_cast<bool>(out);
}

} // namespace velmora
