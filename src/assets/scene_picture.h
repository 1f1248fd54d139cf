// SPDX-License-Identifier: MIT
#pragma once

// A scene picture decoded from its stored picture record.
//
// A picture record is what the program keeps for each of its four scene pictures:
//   u32 LE  length of what follows (124298)
//   u32 LE  picture stream signature 0x0000746C ('l', 't', 0, 0)
//   u32 LE  byte count of the image file (124290)
//   a Windows BMP: 203 x 203 pixels, 24 bits per pixel, uncompressed, rows bottom to top,
//   each row 609 bytes of blue-green-red pixels plus 3 padding bytes.
// The decoder accepts exactly that form and refuses anything else with PictureFormatError, but
// for six header fields that may hold anything: the BMP's two reserved fields, its horizontal
// and vertical resolution, and its counts of colours used and important colours.

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// A decoded 203 x 203 RGB picture: top row first, 3 bytes (red, green, blue) per pixel,
// rows packed without padding.
class ScenePicture final {
public:
    static constexpr int kWidth = 203;
    static constexpr int kHeight = 203;
    static constexpr int kBytesPerPixel = 3;
    static constexpr int kBytesPerLine = kWidth * kBytesPerPixel;
    static constexpr std::size_t kByteCount = std::size_t{kBytesPerLine} * kHeight;

    struct Rgb {
        std::uint8_t r, g, b;
        friend bool operator==(Rgb, Rgb) = default;
    };

    // Precondition: 0 <= x < kWidth and 0 <= y < kHeight; (0, 0) is the top-left pixel.
    Rgb pixel(int x, int y) const;
    // The same precondition. Only for the loader, which letters the words of the lesson's language.
    void setPixel(int x, int y, Rgb rgb) {
        const std::size_t at = offsetOf(x, y);
        pixels_[at] = rgb.r;
        pixels_[at + 1] = rgb.g;
        pixels_[at + 2] = rgb.b;
    }

    // kHeight rows of kBytesPerLine bytes, top row first.
    const std::uint8_t* data() const { return pixels_.data(); }
    // The picture as a canvas takes it: 4 bytes a pixel (red, green, blue, alpha 255), top row first.
    std::vector<std::uint8_t> rgba() const;

private:
    friend ScenePicture decodePictureRecord(std::span<const std::uint8_t>, std::string_view);
    explicit ScenePicture(std::vector<std::uint8_t> pixels) : pixels_(std::move(pixels)) {}
    static std::size_t offsetOf(int x, int y) {
        assert(x >= 0 && x < kWidth && y >= 0 && y < kHeight);
        return (static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)) * kBytesPerPixel;
    }

    std::vector<std::uint8_t> pixels_;
};

// A picture record that is not in the stored form. Names the picture and the offending field.
class PictureFormatError final : public std::exception {
public:
    PictureFormatError(std::string_view picture, std::string_view field, std::string_view problem);

    const std::string& picture() const { return picture_; }
    const std::string& field() const { return field_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string picture_;
    std::string field_;
    std::string message_;
};

// Sizes of the stored form.
inline constexpr std::uint32_t kPictureStreamSignature = 0x0000746C;
inline constexpr std::uint32_t kBmpFileSize = 54 + ScenePicture::kHeight * 612;
inline constexpr std::uint32_t kPictureStreamSize = 8 + kBmpFileSize;
inline constexpr std::size_t kPictureRecordSize = 4 + std::size_t{kPictureStreamSize};

// Decodes one picture record. pictureName is used only in error messages.
// Throws PictureFormatError unless the record is exactly in the stored form; never reads
// outside `record`.
ScenePicture decodePictureRecord(std::span<const std::uint8_t> record, std::string_view pictureName);

} // namespace velmora
