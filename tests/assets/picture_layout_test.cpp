// SPDX-License-Identifier: MIT
// The decoded scene pictures follow their layout: whole rows of pixels, where the words lie,
// and how the complex is built from the enzyme.

#include "assets/stored_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace velmora {
namespace {

using Rgb = ScenePicture::Rgb;

// What a pixel may be.
enum class Kind {
    White,
    Black,
    Red,      // pure red
    DarkRed,  // the shaded edge of the substrate: darker than pure red
    RedShade, // pure red or darker
    Dark,     // a dark frame: every channel below 128
    RedInk,   // red lettering on white, antialiased: white, red or between
    Any,      // grey lettering on white
};

bool is(Rgb p, Kind kind) {
    switch (kind) {
    case Kind::White: return p == Rgb{255, 255, 255};
    case Kind::Black: return p == Rgb{0, 0, 0};
    case Kind::Red: return p == Rgb{255, 0, 0};
    case Kind::DarkRed: return p.r > 0 && p.r < 255 && p.g == 0 && p.b == 0;
    case Kind::RedShade: return p.r > 0 && p.g == 0 && p.b == 0;
    case Kind::Dark: return p.r < 128 && p.g < 128 && p.b < 128;
    case Kind::RedInk: return p.r == 255 && p.g == p.b;
    case Kind::Any: return p.r == p.g && p.g == p.b;
    }
    return false;
}

std::string show(Rgb p) {
    return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + ")";
}

struct Span {
    int from, to; // inclusive
    Kind kind;
};

// One whole row of a picture, left to right.
struct Row {
    PictureId picture;
    int y;
    std::vector<Span> spans;
};

// One row of the table per entry, laid out by hand.
// clang-format off
const Row kRows[] = {
    {PictureId::Enzyme, 100, {{0, 202, Kind::White}}},
    {PictureId::Enzyme, 140, {{0, 23, Kind::White}, {24, 69, Kind::Black}, {70, 125, Kind::White},
                              {126, 185, Kind::Black}, {186, 202, Kind::White}}},
    {PictureId::Enzyme, 152, {{0, 23, Kind::White}, {24, 185, Kind::Black}, {186, 202, Kind::White}}},
    {PictureId::Enzyme, 161, {{0, 23, Kind::White}, {24, 57, Kind::Black}, {58, 151, Kind::White},
                              {152, 185, Kind::Black}, {186, 202, Kind::White}}},
    {PictureId::Enzyme, 175, {{0, 23, Kind::White}, {24, 57, Kind::Black}, {58, 135, Kind::Any},
                              {136, 151, Kind::White}, {152, 185, Kind::Black}, {186, 202, Kind::White}}},
    {PictureId::Enzyme, 193, {{0, 23, Kind::White}, {24, 185, Kind::Black}, {186, 202, Kind::White}}},
    {PictureId::Enzyme, 194, {{0, 202, Kind::White}}},

    {PictureId::Substrate, 35, {{0, 202, Kind::White}}},
    {PictureId::Substrate, 36, {{0, 21, Kind::White}, {22, 180, Kind::DarkRed}, {181, 202, Kind::White}}},
    {PictureId::Substrate, 60, {{0, 21, Kind::White}, {22, 22, Kind::DarkRed}, {23, 25, Kind::RedShade},
                                {26, 176, Kind::Red}, {177, 179, Kind::RedShade}, {180, 180, Kind::DarkRed},
                                {181, 202, Kind::White}}},
    {PictureId::Substrate, 87, {{0, 21, Kind::White}, {22, 22, Kind::DarkRed}, {23, 72, Kind::RedShade},
                                {73, 73, Kind::Dark}, {74, 107, Kind::Any}, {108, 110, Kind::White},
                                {111, 111, Kind::Dark}, {112, 179, Kind::RedShade}, {180, 180, Kind::DarkRed},
                                {181, 202, Kind::White}}},
    {PictureId::Substrate, 82, {{0, 21, Kind::White}, {22, 72, Kind::RedShade}, {73, 111, Kind::Dark},
                                {112, 180, Kind::RedShade}, {181, 202, Kind::White}}},
    {PictureId::Substrate, 170, {{0, 76, Kind::White}, {77, 77, Kind::DarkRed}, {78, 80, Kind::RedShade},
                                 {81, 121, Kind::Red}, {122, 124, Kind::RedShade}, {125, 125, Kind::DarkRed},
                                 {126, 202, Kind::White}}},
    {PictureId::Substrate, 192, {{0, 76, Kind::White}, {77, 125, Kind::DarkRed}, {126, 202, Kind::White}}},
    {PictureId::Substrate, 193, {{0, 202, Kind::White}}},

    {PictureId::Products, 20, {{0, 202, Kind::White}}},
    {PictureId::Products, 23, {{0, 11, Kind::White}, {12, 12, Kind::Black}, {13, 73, Kind::Red},
                               {74, 74, Kind::Black}, {75, 143, Kind::White}, {144, 144, Kind::Black},
                               {145, 202, Kind::White}}},
    {PictureId::Products, 25, {{0, 11, Kind::White}, {12, 12, Kind::Black}, {13, 73, Kind::Red},
                               {74, 74, Kind::Black}, {75, 109, Kind::White}, {110, 178, Kind::Black},
                               {179, 202, Kind::White}}},
    {PictureId::Products, 100, {{0, 11, Kind::White}, {12, 12, Kind::Black}, {13, 73, Kind::Red},
                                {74, 74, Kind::Black}, {75, 109, Kind::White}, {110, 110, Kind::Black},
                                {111, 177, Kind::Red}, {178, 178, Kind::Black}, {179, 202, Kind::White}}},
    {PictureId::Products, 149, {{0, 11, Kind::White}, {12, 74, Kind::Black}, {75, 109, Kind::White},
                                {110, 110, Kind::Black}, {111, 177, Kind::Red}, {178, 178, Kind::Black},
                                {179, 202, Kind::White}}},
    {PictureId::Products, 153, {{0, 109, Kind::White}, {110, 178, Kind::Black}, {179, 202, Kind::White}}},
    {PictureId::Products, 190, {{0, 19, Kind::White}, {20, 95, Kind::RedInk}, {96, 202, Kind::White}}},

    {PictureId::Complex, 41, {{0, 202, Kind::White}}},
    {PictureId::Complex, 42, {{0, 24, Kind::White}, {25, 183, Kind::Black}, {184, 202, Kind::White}}},
    {PictureId::Complex, 75, {{0, 24, Kind::White}, {25, 25, Kind::Black}, {26, 52, Kind::Red},
                              {53, 53, Kind::White}, {54, 141, Kind::Any}, {142, 159, Kind::White},
                              {160, 182, Kind::Red}, {183, 183, Kind::Black}, {184, 202, Kind::White}}},
    {PictureId::Complex, 107, {{0, 24, Kind::White}, {25, 183, Kind::Black}, {184, 202, Kind::White}}},
    {PictureId::Complex, 108, {{0, 85, Kind::White}, {86, 125, Kind::Red}, {126, 126, Kind::Black},
                               {127, 127, Kind::Red}, {128, 202, Kind::White}}},
    {PictureId::Complex, 130, {{0, 23, Kind::White}, {24, 85, Kind::Black}, {86, 125, Kind::Red},
                               {126, 126, Kind::Black}, {127, 127, Kind::Red}, {128, 185, Kind::Black},
                               {186, 202, Kind::White}}},
    {PictureId::Complex, 152, {{0, 23, Kind::White}, {24, 85, Kind::Black}, {86, 127, Kind::Red},
                               {128, 185, Kind::Black}, {186, 202, Kind::White}}},
};
// clang-format on

class PictureRow : public testing::TestWithParam<Row> {};

TEST_P(PictureRow, MatchesTheLayout) {
    const Row& row = GetParam();
    const ScenePicture picture = loadScenePicture(row.picture);
    int x = 0;
    for (const Span& span : row.spans) {
        ASSERT_EQ(span.from, x) << "the table's spans must cover the row without gaps";
        for (; x <= span.to; ++x)
            EXPECT_TRUE(is(picture.pixel(x, row.y), span.kind)) << "x " << x << " is " << show(picture.pixel(x, row.y));
    }
    EXPECT_EQ(x, ScenePicture::kWidth);
}

void PrintTo(const Row& row, std::ostream* out) { *out << pictureName(row.picture) << " row " << row.y; }

INSTANTIATE_TEST_SUITE_P(Table, PictureRow, testing::ValuesIn(kRows), [](const auto& param) {
    return std::string(pictureName(param.param.picture)) + "_row_" + std::to_string(param.param.y);
});

// Where a word's ink must lie: inside `area` everything that is not plain background belongs
// to the word, and together it must fill exactly the `letters` box.
struct Word {
    PictureId picture;
    int left, top, right, bottom; // area searched
    int letterLeft, letterTop, letterRight, letterBottom;
    bool red;
};

const Word kWords[] = {
    {PictureId::Enzyme, 58, 159, 151, 185, 58, 164, 135, 184, false},
    {PictureId::Substrate, 74, 83, 110, 92, 74, 84, 107, 90, false},
    {PictureId::Products, 0, 155, 202, 202, 20, 181, 95, 197, true},
    {PictureId::Complex, 53, 64, 159, 84, 54, 68, 141, 84, false},
};

class PictureWord : public testing::TestWithParam<Word> {};

TEST_P(PictureWord, FillsItsBoxWithSmoothedLetters) {
    const Word& w = GetParam();
    const ScenePicture picture = loadScenePicture(w.picture);
    int left = 999, top = 999, right = -1, bottom = -1, solid = 0, blended = 0;
    for (int y = w.top; y <= w.bottom; ++y)
        for (int x = w.left; x <= w.right; ++x) {
            const Rgb p = picture.pixel(x, y);
            if (p == Rgb{255, 255, 255}) continue;
            ASSERT_TRUE(is(p, w.red ? Kind::RedInk : Kind::Any)) << x << "," << y << " is " << show(p);
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x);
            bottom = std::max(bottom, y);
            (p.g == 0 ? solid : blended)++;
        }
    EXPECT_EQ(left, w.letterLeft);
    EXPECT_EQ(top, w.letterTop);
    EXPECT_EQ(right, w.letterRight);
    EXPECT_EQ(bottom, w.letterBottom);
    EXPECT_GT(solid, 0) << "no fully inked pixel";
    EXPECT_GT(blended, 0) << "edges are not smoothed";
}

void PrintTo(const Word& word, std::ostream* out) { *out << pictureName(word.picture); }

INSTANTIATE_TEST_SUITE_P(Table, PictureWord, testing::ValuesIn(kWords),
                         [](const auto& param) { return std::string(pictureName(param.param.picture)); });

TEST(ComplexPicture, IsTheEnzymeBelowRow109OutsideTheNotch) {
    const ScenePicture complex = loadScenePicture(PictureId::Complex);
    const ScenePicture enzyme = loadScenePicture(PictureId::Enzyme);
    int compared = 0;
    for (int y = 109; y < ScenePicture::kHeight; ++y)
        for (int x = 0; x < ScenePicture::kWidth; ++x) {
            if (x >= 68 && x <= 127 && y <= 152) continue;
            ASSERT_EQ(complex.pixel(x, y), enzyme.pixel(x, y)) << x << "," << y;
            ++compared;
        }
    EXPECT_EQ(compared, 94 * 203 - 60 * 44);
}

TEST(ComplexPicture, NotchLeftOfTheTabIsBlack) {
    const ScenePicture complex = loadScenePicture(PictureId::Complex);
    for (int y = 109; y <= 152; ++y)
        for (int x = 68; x <= 85; ++x) ASSERT_EQ(complex.pixel(x, y), (Rgb{0, 0, 0})) << x << "," << y;
}

TEST(EnzymePicture, BlockLiesInTheLowerHalf) {
    // Rows are stored bottom to top; read the wrong way the block would be at the top.
    const ScenePicture enzyme = loadScenePicture(PictureId::Enzyme);
    int blackAbove = 0, blackBelow = 0;
    for (int y = 0; y < ScenePicture::kHeight; ++y)
        for (int x = 0; x < ScenePicture::kWidth; ++x)
            if (enzyme.pixel(x, y) == Rgb{0, 0, 0}) (y < 101 ? blackAbove : blackBelow)++;
    EXPECT_EQ(blackAbove, 0);
    EXPECT_GT(blackBelow, 162 * 85 / 2);
}

TEST(ScenePicture, DataIsTopRowFirstRedGreenBlue) {
    const ScenePicture substrate = loadScenePicture(PictureId::Substrate);
    const std::uint8_t* at = substrate.data() + 40 * ScenePicture::kBytesPerLine + 30 * 3;
    EXPECT_EQ(at[0], 255);
    EXPECT_EQ(at[1], 0);
    EXPECT_EQ(at[2], 0);
    EXPECT_EQ(substrate.pixel(30, 40), (Rgb{255, 0, 0}));
}

} // namespace
} // namespace velmora
