// The .ico reader and writer: byte layout, round trips and bad input.
#include "ico_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace velmora::icon {
namespace {

IconImage patterned(int width, int height, int bpp, std::size_t colours) {
  IconImage im;
  im.width = width;
  im.height = height;
  im.bits_per_pixel = bpp;
  for (std::size_t c = 0; c < colours; ++c)
    im.palette.push_back({static_cast<std::uint8_t>(c * 7), static_cast<std::uint8_t>(c * 3 + 1),
                          static_cast<std::uint8_t>(255 - c)});
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      im.pixels.push_back(static_cast<std::uint8_t>((x * 5 + y * 3) % static_cast<int>(colours)));
      im.transparent.push_back(static_cast<std::uint8_t>((x + 2 * y) % 3 == 0));
    }
  return im;
}

std::uint32_t u32_at(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

void put_u32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

TEST(IcoFile, WritesTheClassicLayout) {
  // 2x2 at 4 bits: top row colours 1,2 with the top-left pixel transparent,
  // bottom row colours 3,4.
  IconImage im;
  im.width = 2;
  im.height = 2;
  im.bits_per_pixel = 4;
  im.palette = {{0, 0, 0}, {10, 20, 30}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
  im.pixels = {1, 2, 3, 4};
  im.transparent = {1, 0, 0, 0};
  const auto b = encode_ico({im});

  const std::vector<std::uint8_t> dir{0, 0, 1, 0, 1, 0, 2, 2, 16, 0, 1, 0, 4, 0};
  ASSERT_GE(b.size(), 22u);
  EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.begin() + 14), dir);
  EXPECT_EQ(u32_at(b, 18), 22u);  // image right after the one-entry directory
  EXPECT_EQ(u32_at(b, 14), b.size() - 22);

  const std::size_t bmp = 22;
  EXPECT_EQ(u32_at(b, bmp), 40u);
  EXPECT_EQ(u32_at(b, bmp + 4), 2u);
  EXPECT_EQ(u32_at(b, bmp + 8), 4u);  // height doubled
  const std::size_t palette = bmp + 40;
  EXPECT_EQ(b[palette + 4], 30);  // entry 1 stored blue, green, red
  EXPECT_EQ(b[palette + 6], 10);
  const std::size_t xor_rows = palette + 5 * 4;
  const std::vector<std::uint8_t> pixels_and_mask{
      0x34, 0, 0, 0, 0x12, 0, 0, 0,  // colour rows, bottom row first, padded to 4 bytes
      0x00, 0, 0, 0, 0x80, 0, 0, 0,  // mask rows likewise
  };
  ASSERT_EQ(b.size(), xor_rows + pixels_and_mask.size());
  EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + static_cast<long>(xor_rows), b.end()), pixels_and_mask);
}

TEST(IcoFile, RoundTripsEveryDepthAndOddWidths) {
  const std::vector<IconImage> images{patterned(5, 3, 1, 2), patterned(7, 2, 4, 16), patterned(3, 9, 8, 200),
                                      patterned(33, 1, 4, 5), patterned(256, 256, 8, 256)};
  const auto decoded = decode_ico(encode_ico(images));
  ASSERT_EQ(decoded.size(), images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    SCOPED_TRACE("image " + std::to_string(i));
    EXPECT_EQ(decoded[i].width, images[i].width);
    EXPECT_EQ(decoded[i].height, images[i].height);
    EXPECT_EQ(decoded[i].bits_per_pixel, images[i].bits_per_pixel);
    EXPECT_EQ(decoded[i].palette, images[i].palette);
    EXPECT_EQ(decoded[i].pixels, images[i].pixels);
    EXPECT_EQ(decoded[i].transparent, images[i].transparent);
  }
}

void expect_error(const std::function<void()>& run, const std::string& part) {
  try {
    run();
    ADD_FAILURE() << "no error, expected one mentioning \"" << part << "\"";
  } catch (const IcoError& e) {
    EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << "message was: " << e.what();
  }
}

TEST(IcoFile, RejectsBadFilesWithAReason) {
  const auto good = encode_ico({patterned(4, 4, 4, 16)});
  const std::size_t bmp = 22;
  struct Case {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> damage;
    const char* message;
  };
  const std::vector<Case> cases{
      {"empty", [](auto& b) { b.clear(); }, "ends inside the icon header"},
      {"cursor type", [](auto& b) { b[2] = 2; }, "not an icon file"},
      {"no images", [](auto& b) { b[4] = 0; }, "no images"},
      {"directory cut", [](auto& b) { b.resize(12); }, "ends inside the icon directory"},
      {"offset past end", [&](auto& b) { put_u32(b, 18, 5000); }, "outside the file"},
      {"pixels cut", [&](auto& b) { b.resize(b.size() - 3); put_u32(b, 14, static_cast<std::uint32_t>(b.size() - bmp)); },
       "truncated"},
      {"png entry", [&](auto& b) { b[bmp] = 0x89; b[bmp + 1] = 'P'; b[bmp + 2] = 'N'; b[bmp + 3] = 'G'; }, "PNG"},
      {"24-bit", [&](auto& b) { b[bmp + 14] = 24; }, "24 bits per pixel"},
      {"height not doubled", [&](auto& b) { put_u32(b, bmp + 8, 4); }, "must be doubled"},
      {"compressed", [&](auto& b) { put_u32(b, bmp + 16, 2); }, "compressed"},
      {"palette too big", [&](auto& b) { put_u32(b, bmp + 32, 17); }, "too large"},
      {"index past palette", [&](auto& b) { put_u32(b, bmp + 32, 2); }, "outside its 2-colour palette"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto bytes = good;
    c.damage(bytes);
    expect_error([&] { (void)decode_ico(bytes); }, c.message);
  }
}

TEST(IcoFile, RefusesToWriteMalformedImages) {
  expect_error([] { (void)encode_ico({}); }, "at least one image");
  auto too_big = patterned(4, 4, 4, 16);
  too_big.width = 300;
  expect_error([&] { (void)encode_ico({too_big}); }, "outside 1..256");
  auto odd_depth = patterned(4, 4, 4, 8);
  odd_depth.bits_per_pixel = 3;
  expect_error([&] { (void)encode_ico({odd_depth}); }, "3 bits per pixel");
  expect_error([] { (void)encode_ico({patterned(4, 4, 1, 3)}); }, "palette entries");
  auto stray = patterned(4, 4, 4, 16);
  stray.pixels[5] = 16;
  expect_error([&] { (void)encode_ico({stray}); }, "outside the 16-colour palette");
  auto short_mask = patterned(4, 4, 4, 16);
  short_mask.transparent.pop_back();
  expect_error([&] { (void)encode_ico({short_mask}); }, "does not match");
}

}  // namespace
}  // namespace velmora::icon
