// The committed icon files: velmora.ico, icons/velmora-*.png and icons.qrc.
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "ico_file.h"
#include "window_picture.h"

namespace velmora::icon {
namespace {

const std::filesystem::path kResources{VELMORA_APP_RESOURCES};
constexpr Rgb kCyan{0, 255, 255};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kGrey{128, 128, 128};

std::vector<std::uint8_t> read_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string read_text(const std::filesystem::path& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::filesystem::path png_path(int size) { return kResources / "icons" / ("velmora-" + std::to_string(size) + ".png"); }

class CommittedIco : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes = read_bytes(kResources / "velmora.ico");
    ASSERT_FALSE(bytes.empty()) << "cannot read velmora.ico";
    images = decode_ico(bytes);
  }
  std::vector<std::uint8_t> bytes;
  std::vector<IconImage> images;
};

TEST_F(CommittedIco, DirectoryListsThreeImagesInOrder) {
  // Read straight from the directory bytes, independently of the decoder.
  ASSERT_EQ(bytes.size() >= 6 + 3 * 16, true);
  EXPECT_EQ(bytes[4] | (bytes[5] << 8), 3);
  struct Entry {
    int size, colours, bpp;
  };
  const Entry expected[] = {{32, 2, 1}, {32, 16, 4}, {16, 16, 4}};
  std::size_t end = 6 + 3 * 16;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE("entry " + std::to_string(i));
    const std::uint8_t* e = &bytes[6 + 16 * static_cast<std::size_t>(i)];
    EXPECT_EQ(e[0], expected[i].size);
    EXPECT_EQ(e[1], expected[i].size);
    EXPECT_EQ(e[2], expected[i].colours);
    EXPECT_EQ(e[6] | (e[7] << 8), expected[i].bpp);
    const std::size_t size = e[8] | (e[9] << 8) | (e[10] << 16);
    const std::size_t offset = e[12] | (e[13] << 8) | (e[14] << 16);
    EXPECT_EQ(offset, end) << "images are stored back to back in directory order";
    end = offset + size;

    ASSERT_LT(static_cast<std::size_t>(i), images.size());
    EXPECT_EQ(images[static_cast<std::size_t>(i)].bits_per_pixel, expected[i].bpp);
    EXPECT_EQ(images[static_cast<std::size_t>(i)].palette.size(), static_cast<std::size_t>(expected[i].colours));
  }
  EXPECT_EQ(end, bytes.size());
  EXPECT_EQ(images.size(), 3u);
}

TEST_F(CommittedIco, CornersAreClearAndTheWindowIsOpaque) {
  for (const IconImage& im : images) {
    SCOPED_TRACE(std::to_string(im.width) + "x" + std::to_string(im.height) + " at " +
                 std::to_string(im.bits_per_pixel) + " bpp");
    const int last = im.width - 1;
    EXPECT_TRUE(im.transparent_at(0, 0));
    EXPECT_TRUE(im.transparent_at(last, 0));
    EXPECT_TRUE(im.transparent_at(0, last));
    EXPECT_TRUE(im.transparent_at(last, last));
    EXPECT_FALSE(im.transparent_at(im.width / 2, im.height / 2));
    EXPECT_EQ(im.colour_at(im.width / 2, im.height / 2), kWhite) << "the window's body is white";
  }
}

TEST_F(CommittedIco, ColourImagesShowCyanTitleAndGreyShadowAtLowerRight) {
  for (std::size_t i : {1u, 2u}) {
    const IconImage& im = images.at(i);
    SCOPED_TRACE(std::to_string(im.width) + "x" + std::to_string(im.height));
    bool cyan_on_top = false;
    // Bounding boxes {left, top, right, bottom} of the shadow and the window.
    int shadow[4] = {im.width, im.height, -1, -1};
    int window[4] = {im.width, im.height, -1, -1};
    for (int y = 0; y < im.height; ++y) {
      for (int x = 0; x < im.width; ++x) {
        if (im.transparent_at(x, y)) continue;
        const Rgb c = im.colour_at(x, y);
        if (c == kCyan && y < im.height / 4) cyan_on_top = true;
        int* box = c == kGrey ? shadow : window;
        box[0] = std::min(box[0], x);
        box[1] = std::min(box[1], y);
        box[2] = std::max(box[2], x);
        box[3] = std::max(box[3], y);
      }
    }
    // The shadow is the window's shape moved down and right: each of its
    // sides lies beyond the window's.
    for (int side = 0; side < 4; ++side) EXPECT_GT(shadow[side], window[side]) << "side " << side;
    EXPECT_TRUE(cyan_on_top) << "no cyan title bar pixel in the top quarter";
  }
}

TEST_F(CommittedIco, QtReadsTheSamePixels) {
  // A second, independent reader of the file: Qt's own icon plugin.
  QImageReader reader(QString::fromStdString((kResources / "velmora.ico").string()), "ico");
  ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
  ASSERT_EQ(reader.imageCount(), 3);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(reader.jumpToImage(i));
    const QImage qt = reader.read().convertToFormat(QImage::Format_ARGB32);
    const IconImage& ours = images.at(static_cast<std::size_t>(i));
    ASSERT_EQ(qt.width(), ours.width);
    ASSERT_EQ(qt.height(), ours.height);
    int differences = 0;
    for (int y = 0; y < ours.height; ++y) {
      for (int x = 0; x < ours.width; ++x) {
        const QRgb p = qt.pixel(x, y);
        const bool clear = qAlpha(p) == 0;
        const Rgb c = ours.colour_at(x, y);
        if (clear != ours.transparent_at(x, y) ||
            (!clear && (qRed(p) != c.r || qGreen(p) != c.g || qBlue(p) != c.b)))
          ++differences;
      }
    }
    EXPECT_EQ(differences, 0) << "image " << i;
  }
}

TEST_F(CommittedIco, MatchesWhatTheGeneratorDrawsNow) {
  EXPECT_EQ(bytes, encode_ico(velmora_icon_images()))
      << "velmora.ico is stale: cmake --build <build-dir> --target regenerate_icon";
}

TEST(CommittedPngs, EverySizeIsTheCurrentDrawingWithClearCorners) {
  for (int size : kPngSizes) {
    SCOPED_TRACE("velmora-" + std::to_string(size) + ".png");
    QImage png;
    ASSERT_TRUE(png.load(QString::fromStdString(png_path(size).string()), "PNG"));
    png = png.convertToFormat(QImage::Format_RGBA8888);
    ASSERT_EQ(png.width(), size);
    ASSERT_EQ(png.height(), size);
    const int last = size - 1;
    for (auto [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}})
      EXPECT_EQ(qAlpha(png.pixel(x, y)), 0) << "corner " << x << "," << y;
    EXPECT_EQ(png.pixel(size / 2, size / 2), qRgba(255, 255, 255, 255));

    const RgbaImage drawn = draw_rgba_image(size);
    int differences = 0;
    for (int y = 0; y < size; ++y) {
      const std::uint8_t* line = png.constScanLine(y);
      for (int x = 0; x < size; ++x) {
        const Rgba& d = drawn.at(x, y);
        if (line[4 * x] != d.r || line[4 * x + 1] != d.g || line[4 * x + 2] != d.b || line[4 * x + 3] != d.a)
          ++differences;
      }
    }
    EXPECT_EQ(differences, 0) << "PNG is stale: cmake --build <build-dir> --target regenerate_icon";
  }
}

TEST(CommittedPngs, QtResourceListsEachPngUnderIcons) {
  const std::string qrc = read_text(kResources / "icons.qrc");
  ASSERT_FALSE(qrc.empty());
  EXPECT_NE(qrc.find("prefix=\"/icons\""), std::string::npos);
  for (int size : kPngSizes) {
    const std::string name = "velmora-" + std::to_string(size) + ".png";
    const std::regex entry("<file alias=\"" + name + "\">([^<]+)</file>");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(qrc, m, entry)) << name << " missing from icons.qrc";
    EXPECT_TRUE(std::filesystem::is_regular_file(kResources / m[1].str())) << m[1].str();
  }
}

TEST(WindowPicture, RejectsSizesItCannotDraw) {
  EXPECT_THROW((void)draw_rgba_image(4), IcoError);
  EXPECT_THROW((void)draw_palette_image(512, Palette::kSixteen), IcoError);
}

}  // namespace
}  // namespace velmora::icon
