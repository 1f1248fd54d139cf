// SPDX-License-Identifier: MIT
// make_pictures: draws the four scene pictures and writes them as picture records.
//
//   make_pictures <output-dir>
//
// writes <output-dir>/{enzyme,substrate,products,complex}.rec. The output is the same bytes on
// every run: shapes are set pixel by pixel, and the words are drawn from the glyph outlines of
// Liberation Serif (loaded from its file, not chosen by fontconfig), stretched so that their
// ink fills the box given for them exactly, with antialiased edges.

#include "model/picture_id.h"
#include "picture_record.h"

#include <QColor>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

using velmora::PictureId;

constexpr int kSide = 203;
constexpr const char* kSerifFontFile = "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf";

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

// An inclusive pixel box.
struct Box {
    int left, top, right, bottom;
};

QImage blankPicture() {
    QImage image(kSide, kSide, QImage::Format_RGB32);
    image.fill(kWhite);
    return image;
}

void fill(QImage& image, Box box, const QColor& color) {
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x) image.setPixelColor(x, y, color);
}

// A one-pixel frame on the edge of `box`, its inside filled with `inside`.
void framed(QImage& image, Box box, const QColor& frame, const QColor& inside) {
    fill(image, box, frame);
    fill(image, {box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}, inside);
}

class Lettering {
public:
    Lettering() {
        const int id = QFontDatabase::addApplicationFont(QString::fromUtf8(kSerifFontFile));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (id < 0 || families.isEmpty())
            throw std::runtime_error(std::string("cannot load the serif font ") + kSerifFontFile);
        font_ = QFont(families.first());
        font_.setPixelSize(400); // large, so the outlines are not fitted to a coarse grid
        font_.setHintingPreference(QFont::PreferNoHinting);
        font_.setStyleStrategy(QFont::NoFontMerging);
    }

    // Draws `word` so that its ink covers exactly the pixels of `box`. The outline is stretched
    // onto the box, rasterised with antialiasing into a coverage mask, and blended onto the
    // picture. Words only a few pixels tall have strokes thinner than a pixel, which would come
    // out grey: their coverage is strengthened so the letters still read as `color`.
    void draw(QImage& image, const QString& word, Box box, const QColor& color) const {
        QPainterPath path;
        path.addText(0, 0, font_, word);
        const QRectF ink = path.boundingRect();
        const QRectF target(box.left, box.top, box.right - box.left + 1, box.bottom - box.top + 1);
        QTransform fit;
        fit.translate(target.left(), target.top());
        fit.scale(target.width() / ink.width(), target.height() / ink.height());
        fit.translate(-ink.left(), -ink.top());

        QImage coverage(kSide, kSide, QImage::Format_Grayscale8);
        coverage.fill(0);
        {
            QPainter painter(&coverage);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::white);
            painter.drawPath(fit.map(path));
        }
        const int boostPercent = target.height() < 12 ? 150 : 100;

        Box inked{kSide, kSide, -1, -1};
        for (int y = 0; y < kSide; ++y) {
            const uchar* line = coverage.constScanLine(y);
            for (int x = 0; x < kSide; ++x) {
                const int alpha = std::min(255, line[x] * boostPercent / 100);
                if (alpha == 0) continue;
                const QColor under = image.pixelColor(x, y);
                auto blend = [alpha](int from, int to) { return (from * (255 - alpha) + to * alpha + 127) / 255; };
                image.setPixelColor(x, y,
                                    QColor(blend(under.red(), color.red()), blend(under.green(), color.green()),
                                           blend(under.blue(), color.blue())));
                inked = {std::min(inked.left, x), std::min(inked.top, y), std::max(inked.right, x),
                         std::max(inked.bottom, y)};
            }
        }
        if (inked.left != box.left || inked.top != box.top || inked.right != box.right || inked.bottom != box.bottom) {
            throw std::runtime_error("the word " + word.toStdString() + " covers x " + std::to_string(inked.left) +
                                     "-" + std::to_string(inked.right) + ", y " + std::to_string(inked.top) + "-" +
                                     std::to_string(inked.bottom) + " instead of x " + std::to_string(box.left) + "-" +
                                     std::to_string(box.right) + ", y " + std::to_string(box.top) + "-" +
                                     std::to_string(box.bottom));
        }
    }

private:
    QFont font_;
};

// A black block with a notch open at its top for the substrate's tab; a white panel with the
// enzyme's name in its lower part.
QImage drawEnzyme(const Lettering& lettering) {
    QImage image = blankPicture();
    fill(image, {24, 109, 185, 193}, kBlack);
    fill(image, {70, 109, 125, 151}, kWhite); // the notch
    // The notch's top corners are a little worn.
    for (const QPoint p :
         {QPoint(68, 109), QPoint(69, 109), QPoint(69, 110), QPoint(126, 109), QPoint(127, 109), QPoint(126, 110)})
        image.setPixelColor(p, kWhite);
    fill(image, {58, 159, 151, 185}, kWhite);
    lettering.draw(image, QStringLiteral("Enzyme"), {58, 164, 135, 184}, kBlack);
    return image;
}

// A red block whose tab hangs from the middle of its lower edge, shaded darker over the two
// outermost pixels of the whole outline; a small framed label.
QImage drawSubstrate(const Lettering& lettering) {
    QImage image = blankPicture();
    const Box block{22, 36, 180, 148};
    const Box tab{77, 149, 125, 192};
    auto inside = [&](int x, int y) {
        auto in = [x, y](Box b) { return x >= b.left && x <= b.right && y >= b.top && y <= b.bottom; };
        return in(block) || in(tab);
    };
    // Distance (in square rings) from a pixel of the shape to the nearest pixel outside it.
    auto ring = [&](int x, int y) {
        for (int r = 1; r <= 2; ++r)
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx)
                    if (!inside(x + dx, y + dy)) return r;
        return 3;
    };
    const QColor shades[] = {QColor(150, 0, 0), QColor(205, 0, 0), kRed};
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            if (inside(x, y)) image.setPixelColor(x, y, shades[ring(x, y) - 1]);

    framed(image, {73, 82, 111, 93}, QColor(64, 64, 64), kWhite);
    lettering.draw(image, QStringLiteral("Substrate"), {74, 84, 107, 90}, kBlack);
    return image;
}

// What the enzyme lets go: two outlined red bars and the word in red.
QImage drawProducts(const Lettering& lettering) {
    QImage image = blankPicture();
    framed(image, {12, 21, 74, 149}, kBlack, kRed);
    framed(image, {110, 25, 178, 153}, kBlack, kRed);
    fill(image, {144, 22, 144, 24}, kBlack);
    lettering.draw(image, QStringLiteral("Product"), {20, 181, 95, 197}, kRed);
    return image;
}

// The substrate seated on the enzyme: the enzyme from row 109 down, its notch taken by the
// substrate's tab, with the rest of the notch filled black.
QImage drawComplex(const QImage& enzyme, const Lettering& lettering) {
    QImage image = blankPicture();
    for (int y = 109; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) image.setPixel(x, y, enzyme.pixel(x, y));
    fill(image, {68, 109, 127, 152}, kBlack);

    framed(image, {25, 42, 183, 107}, kBlack, kRed);
    fill(image, {53, 64, 159, 84}, kWhite);
    lettering.draw(image, QStringLiteral("Substrate"), {54, 68, 141, 84}, kBlack);

    fill(image, {86, 108, 127, 152}, kRed);    // the tab, sunk into the notch
    fill(image, {126, 108, 126, 151}, kBlack); // its inner right edge
    fill(image, {104, 151, 126, 151}, kBlack); // part of its bottom edge
    return image;
}

void writeRecord(const std::filesystem::path& dir, PictureId id, const QImage& image) {
    const std::vector<std::uint8_t> bytes = velmora::pictures::encodePictureRecord(image);
    const std::filesystem::path file = dir / (std::string(velmora::pictureName(id)) + ".rec");
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + file.string());
    std::printf("wrote %s (%zu bytes)\n", file.c_str(), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output-dir>\n", argc > 0 ? argv[0] : "make_pictures");
        return 2;
    }
    // No window is ever shown: run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    try {
        const std::filesystem::path dir(argv[1]);
        std::filesystem::create_directories(dir);
        const Lettering lettering;
        const QImage enzyme = drawEnzyme(lettering);
        writeRecord(dir, PictureId::Enzyme, enzyme);
        writeRecord(dir, PictureId::Substrate, drawSubstrate(lettering));
        writeRecord(dir, PictureId::Products, drawProducts(lettering));
        writeRecord(dir, PictureId::Complex, drawComplex(enzyme, lettering));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_pictures: %s\n", e.what());
        return 1;
    }
    return 0;
}
