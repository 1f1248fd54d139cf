// SPDX-License-Identifier: MIT
#include "assets/picture_words.h"

#include "assets/embedded_files.h"
#include "assets/stored_pictures.h"

#include <array>
#include <string>

namespace velmora {
namespace {

bool isSpace(std::uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Reads the header of a binary PGM image: "P5", width, height and maximum value, separated by
// white space and comments, then one white space character before the grey values.
class PgmHeader {
public:
    PgmHeader(std::span<const std::uint8_t> pgm, std::string_view picture) : pgm_(pgm), picture_(picture) {
        if (pgm_.size() < 2 || pgm_[0] != 'P' || pgm_[1] != '5') fail("its word's image is not a binary PGM image");
        at_ = 2;
        width = number();
        height = number();
        maximum = number();
        if (at_ >= pgm_.size() || !isSpace(pgm_[at_])) fail("its word's image has no white space after its header");
        ++at_;
    }

    int width = 0;
    int height = 0;
    int maximum = 0;
    std::span<const std::uint8_t> values() const { return pgm_.subspan(at_); }

private:
    int number() {
        while (at_ < pgm_.size() && (isSpace(pgm_[at_]) || pgm_[at_] == '#')) {
            if (pgm_[at_] == '#')
                while (at_ < pgm_.size() && pgm_[at_] != '\n') ++at_;
            else
                ++at_;
        }
        int value = 0;
        const std::size_t start = at_;
        while (at_ < pgm_.size() && pgm_[at_] >= '0' && pgm_[at_] <= '9' && value < 100000)
            value = value * 10 + (pgm_[at_++] - '0');
        if (at_ == start) fail("its word's image has a damaged header");
        return value;
    }

    [[noreturn]] void fail(std::string_view problem) const { throw PictureFormatError(picture_, "word", problem); }

    std::span<const std::uint8_t> pgm_;
    std::string_view picture_;
    std::size_t at_ = 0;
};

std::uint8_t blend(std::uint8_t ink, std::uint8_t grey) {
    return static_cast<std::uint8_t>(ink + (255 - ink) * grey / 255);
}

} // namespace

std::string wordImageName(const WordPlace& place) {
    return std::string(pictureName(place.picture)) + "-" + std::string(pictureWordName(place.word));
}

void layWord(ScenePicture& picture, const WordPlace& place, std::span<const std::uint8_t> pgm) {
    const std::string_view name = pictureName(place.picture);
    const PgmHeader header(pgm, name);
    const PictureBox& ground = place.ground;
    if (header.width != ground.width() || header.height != ground.height() || header.maximum != 255)
        throw PictureFormatError(name, "word",
                                 "its word's image is " + std::to_string(header.width) + " by " +
                                     std::to_string(header.height) + " pixels with maximum " +
                                     std::to_string(header.maximum) + ", not " + std::to_string(ground.width()) +
                                     " by " + std::to_string(ground.height()) + " with maximum 255");
    const std::span<const std::uint8_t> grey = header.values();
    if (grey.size() != static_cast<std::size_t>(ground.width()) * static_cast<std::size_t>(ground.height()))
        throw PictureFormatError(name, "word", "its word's image does not hold one byte for each of its pixels");
    // The colour of each grey, worked out once.
    std::array<ScenePicture::Rgb, 256> colours{};
    for (int g = 0; g < 256; ++g) {
        const auto grey8 = static_cast<std::uint8_t>(g);
        colours[g] = {blend(place.ink.r, grey8), blend(place.ink.g, grey8), blend(place.ink.b, grey8)};
    }
    std::size_t i = 0;
    for (int y = ground.top; y <= ground.bottom; ++y)
        for (int x = ground.left; x <= ground.right; ++x) picture.setPixel(x, y, colours[grey[i++]]);
}

ScenePicture lessonPicture(PictureId id, const Language& language) {
    return lessonPicture(id, language, storedPictureRecord(id));
}

ScenePicture lessonPicture(PictureId id, const Language& language, std::span<const std::uint8_t> record) {
    return lessonPicture(id, language, record, embeddedPictureWords());
}

ScenePicture lessonPicture(PictureId id, const Language& language, std::span<const std::uint8_t> record,
                           std::span<const EmbeddedFile> words) {
    ScenePicture picture = decodePictureRecord(record, pictureName(id));
    for (const WordPlace& place : kWordPlaces) {
        if (place.picture != id) continue;
        const std::string name = std::string(language.code()) + "/" + wordImageName(place);
        for (const EmbeddedFile& word : words)
            if (word.name == name) layWord(picture, place, word.bytes);
    }
    return picture;
}

} // namespace velmora
