// SPDX-License-Identifier: MIT
// The committed icon files: velmora.ico as Qt reads it, and the PNG icons of every size, against
// the hand-set PNGs in src/app/resources/icon that they are built from.
#include <QImage>
#include <QImageReader>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

const std::filesystem::path kResources{VELMORA_APP_RESOURCES};
constexpr int kIconSizes[] = {VELMORA_ICON_SIZES};

QString qPath(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

QImage loadPng(const std::filesystem::path& path) {
    return QImage(qPath(path), "PNG").convertToFormat(QImage::Format_ARGB32);
}

// Pixels that differ; fully transparent pixels are equal whatever colour they carry.
int differingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return a.width() * a.height() + 1;
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (qAlpha(p) == 0 && qAlpha(q) == 0) continue;
            if (p != q) ++differing;
        }
    }
    return differing;
}

std::size_t opaqueColours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0) colours.insert(image.pixel(x, y));
    return colours.size();
}

TEST(IconFile, HoldsTheProgramsThreeImagesAsTheirSourcesShowThem) {
    struct Expected {
        int size;
        int colours;
        int bitsPerPixel;
        const char* source;
    };
    const Expected expected[] = {
        {32, 2, 1, "32x32-2colours.png"},
        {32, 16, 4, "32x32-16colours.png"},
        {16, 16, 4, "16x16-16colours.png"},
    };

    // Qt decodes every image as 32-bit colour, so the stored depth is read from the file's
    // directory: a 6-byte header, then 16 bytes per image.
    std::ifstream file(kResources / "velmora.ico", std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ASSERT_GE(bytes.size(), 6u + 16u * std::size(expected));

    QImageReader reader(qPath(kResources / "velmora.ico"), "ico");
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    ASSERT_EQ(reader.imageCount(), static_cast<int>(std::size(expected)));
    for (int i = 0; i < reader.imageCount(); ++i) {
        const Expected& e = expected[i];
        SCOPED_TRACE(e.source);
        const std::uint8_t* entry = &bytes[6 + 16 * static_cast<std::size_t>(i)];
        EXPECT_EQ(entry[2], e.colours) << "colour count in the directory";
        EXPECT_EQ(entry[6] | (entry[7] << 8), e.bitsPerPixel) << "bits per pixel in the directory";

        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(image.width(), e.size);
        EXPECT_EQ(image.height(), e.size);
        EXPECT_LE(opaqueColours(image), static_cast<std::size_t>(e.colours));
        EXPECT_EQ(differingPixels(image, loadPng(kResources / "icon" / e.source)), 0);
    }
}

TEST(ThemeIcons, ShowTheWindowAtEverySizeWithTheHandSetPixels) {
    for (int size : kIconSizes) {
        const std::string name = "velmora-" + std::to_string(size) + ".png";
        SCOPED_TRACE(name);
        const QImage png = loadPng(kResources / "icons" / name);
        ASSERT_EQ(png.width(), size);
        ASSERT_EQ(png.height(), size);
        const int last = size - 1;
        for (auto [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}})
            EXPECT_EQ(qAlpha(png.pixel(x, y)), 0) << "corner " << x << "," << y;
        EXPECT_EQ(png.pixel(size / 2, size / 2), qRgba(255, 255, 255, 255)) << "the window's body is white";

        const auto handSet =
            kResources / "icon" / (std::to_string(size) + "x" + std::to_string(size) + "-16colours.png");
        if (std::filesystem::exists(handSet)) {
            EXPECT_EQ(differingPixels(png, loadPng(handSet)), 0);
        }
    }
}

} // namespace
