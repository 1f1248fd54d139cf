// SPDX-License-Identifier: MIT
#include "picture_record.h"

#include "assets/scene_picture.h"

#include <QImage>

#include <stdexcept>

namespace velmora::pictures {

namespace {

// The sizes of the stored form are the decoder's own, so writer and reader cannot drift apart.
constexpr int kSide = ScenePicture::kWidth;
static_assert(ScenePicture::kHeight == kSide);
constexpr std::uint32_t kRowStride = 612; // 203 * 3 pixel bytes, padded to a multiple of 4
constexpr std::uint32_t kPixelBytes = kRowStride * kSide;
static_assert(14 + 40 + kPixelBytes == kBmpFileSize);

void put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

} // namespace

std::vector<std::uint8_t> encodePictureRecord(const QImage& image) {
    if (image.width() != kSide || image.height() != kSide)
        throw std::invalid_argument("a scene picture must be 203 x 203 pixels");

    std::vector<std::uint8_t> out;
    out.reserve(kPictureRecordSize);
    put32(out, kPictureStreamSize);      // record length
    put32(out, kPictureStreamSignature); // 'l', 't', 0, 0
    put32(out, kBmpFileSize);            // byte count of the image file

    // BMP file header.
    out.push_back('B');
    out.push_back('M');
    put32(out, kBmpFileSize);
    put16(out, 0);
    put16(out, 0);
    put32(out, 14 + 40); // pixel data offset
    // BMP info header.
    put32(out, 40);
    put32(out, kSide); // width
    put32(out, kSide); // height, positive: rows bottom to top
    put16(out, 1);     // planes
    put16(out, 24);    // bits per pixel
    put32(out, 0);     // no compression
    put32(out, kPixelBytes);
    put32(out, 0); // horizontal resolution
    put32(out, 0); // vertical resolution
    put32(out, 0); // colours used
    put32(out, 0); // important colours

    for (int y = kSide - 1; y >= 0; --y) {
        for (int x = 0; x < kSide; ++x) {
            const QRgb rgb = image.pixel(x, y);
            out.push_back(static_cast<std::uint8_t>(qBlue(rgb)));
            out.push_back(static_cast<std::uint8_t>(qGreen(rgb)));
            out.push_back(static_cast<std::uint8_t>(qRed(rgb)));
        }
        out.insert(out.end(), kRowStride - kSide * 3, 0);
    }
    return out;
}

} // namespace velmora::pictures
