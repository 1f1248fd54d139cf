// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the picture record decoder. It must either refuse them with a
// PictureFormatError or return a whole picture; it must never read outside the input.

#include "assets/scene_picture.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const velmora::ScenePicture picture = velmora::decodePictureRecord({data, size}, "fuzz");
        // Only a record of exactly the stored size can be accepted.
        if (size != velmora::kPictureRecordSize) std::abort();
        unsigned sum = 0;
        for (int y = 0; y < velmora::ScenePicture::kHeight; y += 50)
            for (int x = 0; x < velmora::ScenePicture::kWidth; x += 50) sum += picture.pixel(x, y).r;
        volatile unsigned keep = sum;
        (void)keep;
    } catch (const velmora::PictureFormatError&) {}
    return 0;
}
