// SPDX-License-Identifier: MIT
#pragma once

// The words drawn in the scene pictures, in the lesson's language. The stored pictures carry the
// English words; for another language, tools/pictures draws each word that differs, in the same
// type and style, as a small greyscale image of the ground it stands on (a PGM file under
// src/assets/words/<code>/<picture>-<word>.pgm), and the loader lays it over the decoded picture.

#include "assets/scene_picture.h"
#include "language/embedded_files.h"
#include "language/language.h"
#include "model/picture_id.h"

#include <cstdint>
#include <span>
#include <string>

namespace velmora {

// An inclusive box of picture pixels.
struct PictureBox {
    int left, top, right, bottom;
    constexpr int width() const { return right - left + 1; }
    constexpr int height() const { return bottom - top + 1; }
};

// Where a word is drawn in a picture, and in which colour.
struct WordPlace {
    PictureId picture;
    PictureWord word;
    PictureBox english; // the English word's letters fill this box exactly (the stored picture)
    PictureBox ground;  // the white ground the word stands on, which a translated word replaces whole
    ScenePicture::Rgb ink;
};

inline constexpr ScenePicture::Rgb kBlackInk{0, 0, 0};
inline constexpr ScenePicture::Rgb kRedInk{255, 0, 0};

// The enzyme's panel, the substrate's framed label, the products' word (no panel), and the
// complex's panel and the enzyme's panel in its lower part, which is the enzyme's picture.
inline constexpr PictureBox kEnzymePanel{58, 159, 151, 185};
inline constexpr PictureBox kEnzymeWord{58, 164, 135, 184};
inline constexpr WordPlace kWordPlaces[] = {
    {PictureId::Enzyme, PictureWord::Enzyme, kEnzymeWord, kEnzymePanel, kBlackInk},
    {PictureId::Substrate, PictureWord::Substrate, {74, 84, 107, 90}, {74, 83, 110, 92}, kBlackInk},
    {PictureId::Products, PictureWord::Product, {20, 181, 95, 197}, {16, 176, 130, 200}, kRedInk},
    {PictureId::Complex, PictureWord::Substrate, {54, 68, 141, 84}, {53, 64, 159, 84}, kBlackInk},
    {PictureId::Complex, PictureWord::Enzyme, kEnzymeWord, kEnzymePanel, kBlackInk},
};

// The name of a word's image in src/assets/words/<code>/: "complex-enzyme".
std::string wordImageName(const WordPlace& place);

// Lays `pgm`, a binary PGM image (P5, maximum 255) the size of `place.ground`, over that ground:
// each grey value g stands for the ink blended onto white, so a black word is drawn g, g, g and
// a red one 255, g, g. Throws PictureFormatError when `pgm` is not such an image of that size.
void layWord(ScenePicture& picture, const WordPlace& place, std::span<const std::uint8_t> pgm);

// The picture `id` as the lesson shows it: the stored picture (or the one `record` holds, the
// same bytes carried another way), with its word in `language`. Throws PictureFormatError when
// the record or the word's image is damaged.
ScenePicture lessonPicture(PictureId id, const Language& language);
ScenePicture lessonPicture(PictureId id, const Language& language, std::span<const std::uint8_t> record);
// The same with the words' images taken from `words`, named "<code>/<picture>-<word>" as the
// embedded ones are (a page that fetches only its own language's).
ScenePicture lessonPicture(PictureId id, const Language& language, std::span<const std::uint8_t> record,
                           std::span<const EmbeddedFile> words);

} // namespace velmora
