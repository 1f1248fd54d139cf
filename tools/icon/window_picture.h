// The program's icon picture: a generic window seen in perspective.
//
// The window turns away to the right, so its left edge is the nearest and
// tallest and its top and bottom edges converge towards the far right edge.
// It has a white body, a cyan title bar, a black outline and a grey shadow
// at its lower right, on a transparent ground.
//
// The geometry lives in one place and is drawn two ways: as crisp palette
// pixel art for the .ico images and the small PNGs, and anti-aliased with
// alpha for the larger PNGs, so every size shows the same picture.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "ico_file.h"

namespace velmora::icon {

struct Rgba {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  std::uint8_t a = 0;

  friend constexpr bool operator==(const Rgba&, const Rgba&) = default;
};

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;  // rows top to bottom

  [[nodiscard]] const Rgba& at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
};

enum class Palette {
  kMono,     // 2 colours: black and white
  kSixteen,  // the 16 standard Windows colours
};

// The 16-colour palette. Cyan is entry 14 (0,255,255), grey entry 8
// (128,128,128), black entry 0 and white entry 15.
[[nodiscard]] const std::vector<Rgb>& sixteen_colour_palette();

// The picture as a palette image of size x size pixels.
// Throws IcoError for sizes outside 8..256.
[[nodiscard]] IconImage draw_palette_image(int size, Palette palette);

// The picture as a full-colour image with alpha. Sizes up to 32 are the
// pixel art of draw_palette_image; larger ones are drawn smooth.
// Throws IcoError for sizes outside 8..256.
[[nodiscard]] RgbaImage draw_rgba_image(int size);

// A palette image with its AND mask turned into alpha.
[[nodiscard]] RgbaImage to_rgba(const IconImage& image);

// The icon's three images in order: 32x32 2 colours, 32x32 16 colours,
// 16x16 16 colours.
[[nodiscard]] std::vector<IconImage> velmora_icon_images();

// The sizes of the PNG icons shipped for desktops that do not read .ico.
inline constexpr std::array<int, 6> kPngSizes{16, 32, 48, 64, 128, 256};

}  // namespace velmora::icon
