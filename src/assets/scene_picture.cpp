// SPDX-License-Identifier: MIT
#include "assets/scene_picture.h"

#include <cassert>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace velmora {

namespace {

// Offsets and sizes inside a picture record. The BMP image file starts at kBmpStart.
constexpr std::size_t kBmpStart = 12;
constexpr std::size_t kPixelOffset = 54; // from the start of the BMP file
constexpr std::size_t kRowStride = 612;  // 609 bytes of pixels and 3 of padding
constexpr std::size_t kPixelDataSize = kRowStride * ScenePicture::kHeight;

static_assert(kPixelDataSize == 124236);
static_assert(kBmpFileSize == 124290);
static_assert(kPictureStreamSize == 124298);
static_assert(kPictureRecordSize == 124302);
static_assert(kBmpStart + kPixelOffset + kPixelDataSize == kPictureRecordSize);

enum class Shown { Decimal, Hex, Letters };

// How a header field is checked. Unchecked fields must be present but may hold anything.
enum class Check { Unchecked, Exact, RecordLength, Height };

// One little-endian header field, its place in the record and the only value the stored form
// allows.
struct HeaderField {
    const char* name;
    std::size_t offset;
    std::size_t size; // 2 or 4
    bool isSigned;
    Check check;
    std::int64_t expected;
    Shown shown;
};

constexpr HeaderField kHeaderFields[] = {
    {"record length", 0, 4, false, Check::RecordLength, kPictureStreamSize, Shown::Decimal},
    {"picture stream signature", 4, 4, false, Check::Exact, kPictureStreamSignature, Shown::Hex},
    {"image byte count", 8, 4, false, Check::Exact, kBmpFileSize, Shown::Decimal},
    {"BMP file type", 12, 2, false, Check::Exact, 0x4D42 /* "BM" */, Shown::Letters},
    {"BMP file size", 14, 4, false, Check::Exact, kBmpFileSize, Shown::Decimal},
    {"BMP reserved field 1", 18, 2, false, Check::Unchecked, 0, Shown::Decimal},
    {"BMP reserved field 2", 20, 2, false, Check::Unchecked, 0, Shown::Decimal},
    {"BMP pixel data offset", 22, 4, false, Check::Exact, kPixelOffset, Shown::Decimal},
    {"BMP info header size", 26, 4, false, Check::Exact, 40, Shown::Decimal},
    {"BMP width", 30, 4, true, Check::Exact, ScenePicture::kWidth, Shown::Decimal},
    {"BMP height", 34, 4, true, Check::Height, ScenePicture::kHeight, Shown::Decimal},
    {"BMP planes", 38, 2, false, Check::Exact, 1, Shown::Decimal},
    {"BMP bit depth", 40, 2, false, Check::Exact, 24, Shown::Decimal},
    {"BMP compression", 42, 4, false, Check::Exact, 0, Shown::Decimal},
    {"BMP image size", 46, 4, false, Check::Exact, kPixelDataSize, Shown::Decimal},
    {"BMP horizontal resolution", 50, 4, true, Check::Unchecked, 0, Shown::Decimal},
    {"BMP vertical resolution", 54, 4, true, Check::Unchecked, 0, Shown::Decimal},
    {"BMP colours used", 58, 4, false, Check::Unchecked, 0, Shown::Decimal},
    {"BMP important colours", 62, 4, false, Check::Unchecked, 0, Shown::Decimal},
};
static_assert(kHeaderFields[std::size(kHeaderFields) - 1].offset + 4 == kBmpStart + kPixelOffset);

std::string show(std::int64_t value, Shown shown) {
    char text[32];
    const auto low = static_cast<unsigned char>(value & 0xFF);
    const auto high = static_cast<unsigned char>((value >> 8) & 0xFF);
    if (shown == Shown::Letters && low >= 0x20 && low < 0x7F && high >= 0x20 && high < 0x7F)
        std::snprintf(text, sizeof text, "\"%c%c\"", low, high); // first byte first
    else if (shown == Shown::Letters)
        std::snprintf(text, sizeof text, "0x%04llX", static_cast<unsigned long long>(value));
    else if (shown == Shown::Hex)
        std::snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(value));
    else
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
    return text;
}

// Reads a field whose bytes the caller has checked are inside `record`.
std::int64_t readField(std::span<const std::uint8_t> record, const HeaderField& field) {
    std::uint32_t value = 0;
    for (std::size_t i = field.size; i-- > 0;) value = (value << 8) | record[field.offset + i];
    if (!field.isSigned) return value;
    return static_cast<std::int32_t>(value); // two's complement 32-bit
}

} // namespace

PictureFormatError::PictureFormatError(std::string_view picture, std::string_view field, std::string_view problem)
    : picture_(picture), field_(field) {
    message_ = "picture \"" + picture_ + "\": " + std::string(problem);
}

ScenePicture::Rgb ScenePicture::pixel(int x, int y) const {
    const std::size_t at = offsetOf(x, y);
    return {pixels_[at], pixels_[at + 1], pixels_[at + 2]};
}

std::vector<std::uint8_t> ScenePicture::rgba() const {
    std::vector<std::uint8_t> out(std::size_t{kWidth} * kHeight * 4);
    std::uint8_t* to = out.data();
    // Four bytes at a time (one pixel and the next one's red, which the alpha byte then covers):
    // a word copy per pixel is several times faster than four byte copies in a browser's
    // first, unoptimised pass over the code.
    std::size_t i = 0;
    for (; i + kBytesPerPixel < kByteCount; i += kBytesPerPixel, to += 4) {
        std::memcpy(to, pixels_.data() + i, 4);
        to[3] = 0xFF;
    }
    std::memcpy(to, pixels_.data() + i, kBytesPerPixel);
    to[3] = 0xFF;
    return out;
}

ScenePicture decodePictureRecord(std::span<const std::uint8_t> record, std::string_view pictureName) {
    const std::size_t present = record.size();
    auto fail = [&](const char* field, const std::string& problem) {
        throw PictureFormatError(pictureName, field, problem);
    };

    for (const HeaderField& field : kHeaderFields) {
        if (present < field.offset + field.size) {
            fail(field.name, "record is " + std::to_string(present) + " bytes long and ends inside the " + field.name +
                                 " (bytes " + std::to_string(field.offset) + " to " +
                                 std::to_string(field.offset + field.size - 1) + ")");
        }
        if (field.check == Check::Unchecked) continue;
        const std::int64_t value = readField(record, field);
        if (value != field.expected) {
            std::string problem = std::string(field.name) + " is " + show(value, field.shown);
            if (field.check == Check::Height && value < 0)
                problem +=
                    " (rows top to bottom), expected " + show(field.expected, field.shown) + " (rows bottom to top)";
            else
                problem += ", expected " + show(field.expected, field.shown);
            fail(field.name, problem);
        }
        // The record length is known once read: bytes beyond it are not part of this record.
        if (field.check == Check::RecordLength && present > kPictureRecordSize) {
            fail(field.name, "record length is " + std::to_string(kPictureStreamSize) + " but " +
                                 std::to_string(present - 4) + " bytes follow it");
        }
    }

    const std::size_t pixelStart = kBmpStart + kPixelOffset;
    if (present < pixelStart + kPixelDataSize) {
        fail("BMP pixel data",
             "record is " + std::to_string(present) + " bytes long and ends inside the BMP pixel data (bytes " +
                 std::to_string(pixelStart) + " to " + std::to_string(pixelStart + kPixelDataSize - 1) + ")");
    }

    // Rows are stored bottom to top, each pixel blue-green-red; the 3 padding bytes that end
    // each stored row are skipped.
    std::vector<std::uint8_t> pixels(ScenePicture::kByteCount);
    for (std::size_t row = 0; row < ScenePicture::kHeight; ++row) {
        const std::uint8_t* from = record.data() + pixelStart + row * kRowStride;
        std::uint8_t* to = pixels.data() + (ScenePicture::kHeight - 1 - row) * ScenePicture::kBytesPerLine;
        for (std::size_t x = 0; x < ScenePicture::kWidth; ++x, from += 3, to += 3) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }
    return ScenePicture(std::move(pixels));
}

} // namespace velmora
