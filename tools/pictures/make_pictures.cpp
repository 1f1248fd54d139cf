// SPDX-License-Identifier: MIT
// make_pictures: draws the four scene pictures and writes them as picture records, and draws
// their words in each other language the lesson speaks.
//
//   make_pictures <records-dir> <words-dir>
//
// writes <records-dir>/{enzyme,substrate,products,complex}.rec and, for each language whose word
// differs from the English one, <words-dir>/<code>/<picture>-<word>.pgm: the word's ground as a
// greyscale image (assets/picture_words.h), which the lesson lays over the English picture. The
// output is the same bytes on every run: shapes are set pixel by pixel, and the words are drawn
// from glyph outlines of serif fonts loaded from their files (not chosen by fontconfig): Liberation
// Serif for Latin and Cyrillic, Noto Naskh Arabic and Noto Serif CJK SC for the scripts it lacks.
// An English word is stretched so that its ink fills the box given for it exactly; another
// language's word is drawn at the English word's size, on its baseline and from its left edge (its
// right edge for a language written right to left), shaped (Arabic letters joined) and with
// antialiased edges. The words themselves are the lesson's (reaction/lesson_texts.h).

#include "assets/picture_words.h"
#include "language/language.h"
#include "model/picture_id.h"
#include "picture_record.h"
#include "reaction/lesson_texts.h"

#include <QColor>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using velmora::PictureBox;
using velmora::PictureId;
using velmora::PictureWord;
using velmora::WordPlace;

constexpr int kSide = 203;

// The fonts the words are drawn in, the first that has every letter of a word drawing it: the
// file, the family to take from it (a collection holds several) and the Debian package holding it.
struct LetteringFont {
    const char* file;
    const char* family;
    const char* package;
};
constexpr LetteringFont kLetteringFonts[] = {
    {"/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf", "Liberation Serif", "fonts-liberation"},
    {"/usr/share/fonts/truetype/noto/NotoNaskhArabic-Regular.ttf", "Noto Naskh Arabic", "fonts-noto-core"},
    {"/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc", "Noto Serif CJK SC", "fonts-noto-cjk"},
};

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

QImage blankPicture() {
    QImage image(kSide, kSide, QImage::Format_RGB32);
    image.fill(kWhite);
    return image;
}

void fill(QImage& image, PictureBox box, const QColor& color) {
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x) image.setPixelColor(x, y, color);
}

// A one-pixel frame on the edge of `box`, its inside filled with `inside`.
void framed(QImage& image, PictureBox box, const QColor& frame, const QColor& inside) {
    fill(image, box, frame);
    fill(image, {box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}, inside);
}

class Lettering {
public:
    Lettering() {
        for (const LetteringFont& file : kLetteringFonts) {
            const int id = QFontDatabase::addApplicationFont(QString::fromUtf8(file.file));
            if (id < 0 || !QFontDatabase::applicationFontFamilies(id).contains(QString::fromUtf8(file.family)))
                throw std::runtime_error(std::string("cannot load the font ") + file.file + " (Debian package " +
                                         file.package + ")");
            QFont font(QString::fromUtf8(file.family));
            font.setPixelSize(400); // large, so the outlines are not fitted to a coarse grid
            font.setHintingPreference(QFont::PreferNoHinting);
            font.setStyleStrategy(QFont::NoFontMerging);
            fonts_.push_back(font);
        }
    }

    // Draws `word` in English, the stored pictures' language, so that its ink covers exactly the
    // pixels of `box`.
    void draw(QImage& image, PictureWord word, PictureBox box, const QColor& color) const {
        const velmora::Language english;
        const QPainterPath path = outline(word, english);
        const PictureBox inked = paint(image, fitting(path, box).map(path), color, box.height() < 12);
        if (inked.left != box.left || inked.top != box.top || inked.right != box.right || inked.bottom != box.bottom)
            throw std::runtime_error("the word " + text(word, english).toStdString() + " covers " + describe(inked) +
                                     " instead of " + describe(box));
    }

    // Draws `word` in `language` where `place` has the English one, `english`: at the same size
    // and on the same baseline, starting where it starts (ending where it ends, right to left),
    // made smaller or moved up or down only where it would reach past the ground's top or bottom,
    // and narrowed only where it would run past the ground's far edge (less a pixel). Its ink must
    // stay on the ground.
    void drawTranslated(QImage& image, const WordPlace& place, const QPainterPath& english, PictureWord word,
                        const velmora::Language& language) const {
        const QPainterPath path = outline(word, language);
        const QTransform transform = fitting(english, place.english);
        const QRectF placed = transform.map(path).boundingRect();
        const bool fromRight = velmora::rightToLeft(language.code());
        const PictureBox& ground = place.ground;
        // A word taller than its ground (a Chinese one in the substrate's small label) is made
        // smaller about its baseline, 0 in the word's outline; one reaching past its ground's top or
        // bottom (an Arabic one's tails where the ground ends at the English baseline) is moved in.
        const QPointF baseline = transform.map(QPointF(0, 0));
        const double high = ground.top;       // the top edge of the ground's top row
        const double low = ground.bottom + 1; // the bottom edge of its bottom row
        const double shrinking = std::min(1.0, (low - high) / placed.height());
        const double top = baseline.y() + (placed.top() - baseline.y()) * shrinking;
        const double bottom = baseline.y() + (placed.bottom() - baseline.y()) * shrinking;
        const double lift = bottom > low ? low - bottom : top < high ? high - top : 0.0;
        const double room = fromRight ? place.english.right - ground.left : ground.right - place.english.left;
        const double narrowing = std::min(shrinking, room / placed.width());
        const double start = fromRight ? place.english.right + 1 - placed.width() * narrowing : place.english.left;
        const QTransform moved = transform * QTransform::fromTranslate(-placed.left(), -baseline.y()) *
                                 QTransform::fromScale(narrowing, shrinking) *
                                 QTransform::fromTranslate(start, baseline.y() + lift);
        const PictureBox inked = paint(image, moved.map(path), toQColor(place.ink), place.english.height() < 12);
        if (inked.left < ground.left || inked.top < ground.top || inked.right > ground.right ||
            inked.bottom > ground.bottom)
            throw std::runtime_error("the word " + text(word, language).toStdString() + " covers " + describe(inked) +
                                     ", which leaves its ground " + describe(ground));
    }

    // The word's outline, shaped by Qt (joined Arabic letters, right-to-left words in the order
    // they are seen), in the first font that has each of its letters.
    QPainterPath outline(PictureWord word, const velmora::Language& language) const {
        const QString letters = text(word, language);
        QPainterPath path;
        path.addText(0, 0, fontFor(letters), letters);
        return path;
    }

private:
    static QString text(PictureWord word, const velmora::Language& language) {
        const std::string_view utf8 = velmora::pictureWordText(language, word);
        return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    }

    const QFont& fontFor(const QString& letters) const {
        for (const QFont& font : fonts_) {
            const QFontMetrics metrics(font);
            const QList<uint> codes = letters.toUcs4();
            if (std::all_of(codes.begin(), codes.end(),
                            [&](uint code) { return QChar::isSpace(code) || metrics.inFontUcs4(code); }))
                return font;
        }
        throw std::runtime_error("no font here has every letter of the word " + letters.toStdString());
    }

    static std::string describe(PictureBox box) {
        return "x " + std::to_string(box.left) + "-" + std::to_string(box.right) + ", y " + std::to_string(box.top) +
               "-" + std::to_string(box.bottom);
    }

    static QColor toQColor(velmora::ScenePicture::Rgb rgb) { return {rgb.r, rgb.g, rgb.b}; }

    // Stretches `path` so that its ink fills `box`.
    static QTransform fitting(const QPainterPath& path, PictureBox box) {
        const QRectF ink = path.boundingRect();
        QTransform fit;
        fit.translate(box.left, box.top);
        fit.scale(box.width() / ink.width(), box.height() / ink.height());
        fit.translate(-ink.left(), -ink.top());
        return fit;
    }

    // Rasterises `path` with antialiasing into a coverage mask and blends it onto the picture;
    // returns the box of the pixels it inked. Words only a few pixels tall (`thin`) have strokes
    // thinner than a pixel, which would come out grey: their coverage is strengthened so the
    // letters still read as `color`.
    static PictureBox paint(QImage& image, const QPainterPath& path, const QColor& color, bool thin) {
        QImage coverage(kSide, kSide, QImage::Format_Grayscale8);
        coverage.fill(0);
        {
            QPainter painter(&coverage);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::white);
            painter.drawPath(path);
        }
        const int boostPercent = thin ? 150 : 100;

        PictureBox inked{kSide, kSide, -1, -1};
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
        return inked;
    }

private:
    std::vector<QFont> fonts_;
};

// Where `word` is drawn in `picture`.
const WordPlace& placeOf(PictureId picture, PictureWord word) {
    for (const WordPlace& place : velmora::kWordPlaces)
        if (place.picture == picture && place.word == word) return place;
    throw std::logic_error("no place for a word in the picture " + std::string(velmora::pictureName(picture)));
}

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
    const WordPlace& word = placeOf(PictureId::Enzyme, PictureWord::Enzyme);
    fill(image, word.ground, kWhite);
    lettering.draw(image, word.word, word.english, kBlack);
    return image;
}

// A red block whose tab hangs from the middle of its lower edge, shaded darker over the two
// outermost pixels of the whole outline; a small framed label.
QImage drawSubstrate(const Lettering& lettering) {
    QImage image = blankPicture();
    const PictureBox block{22, 36, 180, 148};
    const PictureBox tab{77, 149, 125, 192};
    auto inside = [&](int x, int y) {
        auto in = [x, y](PictureBox b) { return x >= b.left && x <= b.right && y >= b.top && y <= b.bottom; };
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

    // The label's frame lies round the word's ground.
    const WordPlace& word = placeOf(PictureId::Substrate, PictureWord::Substrate);
    const PictureBox label = word.ground;
    framed(image, {label.left - 1, label.top - 1, label.right + 1, label.bottom + 1}, QColor(64, 64, 64), kWhite);
    lettering.draw(image, word.word, word.english, kBlack);
    return image;
}

// What the enzyme lets go: two outlined red bars and the word in red.
QImage drawProducts(const Lettering& lettering) {
    QImage image = blankPicture();
    framed(image, {12, 21, 74, 149}, kBlack, kRed);
    framed(image, {110, 25, 178, 153}, kBlack, kRed);
    fill(image, {144, 22, 144, 24}, kBlack);
    const WordPlace& word = placeOf(PictureId::Products, PictureWord::Product);
    lettering.draw(image, word.word, word.english, kRed);
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
    const WordPlace& word = placeOf(PictureId::Complex, PictureWord::Substrate);
    fill(image, word.ground, kWhite);
    lettering.draw(image, word.word, word.english, kBlack);

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

// Draws the word of `place` in `language` over `english` (the English picture) and
// writes its ground, as greys, to <dir>/<code>/<picture>-<word>.pgm. The English word must stand
// alone on white ground there, so that the ground can be laid over it whole.
void writeTranslatedWord(const std::filesystem::path& dir, const Lettering& lettering,
                         const velmora::Language& language, const QImage& english, const WordPlace& place,
                         const QPainterPath& englishWord) {
    const PictureBox& ground = place.ground;
    for (int y = ground.top; y <= ground.bottom; ++y)
        for (int x = ground.left; x <= ground.right; ++x) {
            const bool inWord = x >= place.english.left && x <= place.english.right && y >= place.english.top &&
                                y <= place.english.bottom;
            if (!inWord && english.pixelColor(x, y) != kWhite)
                throw std::runtime_error("the ground of " + velmora::wordImageName(place) + " is not white at " +
                                         std::to_string(x) + ", " + std::to_string(y));
        }
    QImage image = english.copy();
    fill(image, ground, kWhite);
    lettering.drawTranslated(image, place, englishWord, place.word, language);
    // On white, the ink blends so that the green channel is the grey of either colour of ink.
    QImage grey(ground.width(), ground.height(), QImage::Format_Grayscale8);
    for (int y = 0; y < ground.height(); ++y)
        for (int x = 0; x < ground.width(); ++x)
            grey.scanLine(y)[x] = static_cast<uchar>(qGreen(image.pixel(ground.left + x, ground.top + y)));
    const std::filesystem::path languageDir = dir / std::string(language.code());
    std::filesystem::create_directories(languageDir);
    const std::filesystem::path file = languageDir / (velmora::wordImageName(place) + ".pgm");
    QImageWriter writer(QString::fromStdString(file.string()), "pgm");
    if (!writer.write(grey)) throw std::runtime_error("cannot write " + file.string());
    std::printf("wrote %s\n", file.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <records-dir> <words-dir>\n", argc > 0 ? argv[0] : "make_pictures");
        return 2;
    }
    // No window is ever shown: run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    try {
        const std::filesystem::path records(argv[1]);
        const std::filesystem::path words(argv[2]);
        std::filesystem::create_directories(records);
        const Lettering lettering;
        const velmora::Language englishLanguage;
        std::map<PictureId, QImage> english;
        english[PictureId::Enzyme] = drawEnzyme(lettering);
        english[PictureId::Substrate] = drawSubstrate(lettering);
        english[PictureId::Products] = drawProducts(lettering);
        english[PictureId::Complex] = drawComplex(english[PictureId::Enzyme], lettering);
        for (const auto& [id, image] : english) writeRecord(records, id, image);

        std::map<PictureWord, std::pair<std::string, QPainterPath>> englishWords;
        for (const WordPlace& place : velmora::kWordPlaces)
            englishWords[place.word] = {std::string(velmora::pictureWordText(englishLanguage, place.word)),
                                        lettering.outline(place.word, englishLanguage)};
        // The words are drawn anew, so none is left over from a translation that changed.
        std::filesystem::remove_all(words);
        for (const std::string_view code : velmora::lessonLanguages()) {
            const velmora::Language language(code);
            if (language.code() != code) throw std::runtime_error("no catalogue for " + std::string(code));
            for (const WordPlace& place : velmora::kWordPlaces) {
                const auto& [englishText, englishOutline] = englishWords[place.word];
                if (velmora::pictureWordText(language, place.word) == englishText) continue;
                writeTranslatedWord(words, lettering, language, english[place.picture], place, englishOutline);
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_pictures: %s\n", e.what());
        return 1;
    }
    return 0;
}
