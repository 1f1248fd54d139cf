// Reading and writing the classic Windows .ico container with palette images.
//
// Each image is stored as a BITMAPINFOHEADER (height doubled, because the
// XOR colour bitmap and the AND transparency mask are stacked), a palette,
// the XOR rows bottom-up and the 1-bit AND mask rows bottom-up, every row
// padded to a multiple of four bytes. Only uncompressed 1, 4 and 8 bit
// images are handled: that is all this program's icon uses.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace velmora::icon {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;

  friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// One palette image of an icon, rows top to bottom.
struct IconImage {
  int width = 0;
  int height = 0;
  int bits_per_pixel = 0;               // 1, 4 or 8
  std::vector<Rgb> palette;             // at most 2^bits_per_pixel entries
  std::vector<std::uint8_t> pixels;     // width*height palette indices
  std::vector<std::uint8_t> transparent;  // width*height; 1 = AND mask bit set

  [[nodiscard]] std::uint8_t index_at(int x, int y) const { return pixels[offset(x, y)]; }
  [[nodiscard]] Rgb colour_at(int x, int y) const { return palette[index_at(x, y)]; }
  [[nodiscard]] bool transparent_at(int x, int y) const { return transparent[offset(x, y)] != 0; }

 private:
  [[nodiscard]] std::size_t offset(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
  }
};

// Thrown for icon data that cannot be written or read; the message says why.
class IcoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Checks that an image is well formed (sizes 1..256, supported depth, palette
// fits, indices inside the palette); throws IcoError naming the problem.
void validate(const IconImage& image);

// The bytes of an .ico file holding the images in the given order.
[[nodiscard]] std::vector<std::uint8_t> encode_ico(const std::vector<IconImage>& images);

// The images of an .ico file, in directory order.
[[nodiscard]] std::vector<IconImage> decode_ico(std::span<const std::uint8_t> bytes);

}  // namespace velmora::icon
