// SPDX-License-Identifier: MIT
// The pictures in another language: its words laid over the stored pictures, each on its own
// ground and nowhere else, black or red on white as the English words are; damaged word images
// refused.
#include "assets/picture_words.h"
#include "assets/stored_pictures.h"
#include "language/language.h"
#include "reaction/lesson_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

bool inside(const PictureBox& box, int x, int y) {
    return x >= box.left && x <= box.right && y >= box.top && y <= box.bottom;
}

TEST(LessonPictures, AnotherLanguageRewritesEachWordOnItsGroundAndNothingElse) {
    const Language english;
    for (const std::string_view code : lessonLanguages()) {
        SCOPED_TRACE(code);
        const Language language(code);
        for (const PictureId id : kAllPictures) {
            SCOPED_TRACE(pictureName(id));
            const ScenePicture stored = loadScenePicture(id);
            const ScenePicture shown = lessonPicture(id, language);
            std::vector<const WordPlace*> places;
            for (const WordPlace& place : kWordPlaces)
                if (place.picture == id) places.push_back(&place);
            for (int y = 0; y < ScenePicture::kHeight; ++y)
                for (int x = 0; x < ScenePicture::kWidth; ++x) {
                    const WordPlace* place = nullptr;
                    for (const WordPlace* p : places)
                        if (inside(p->ground, x, y)) place = p;
                    const ScenePicture::Rgb pixel = shown.pixel(x, y);
                    if (place == nullptr) {
                        ASSERT_EQ(pixel, stored.pixel(x, y)) << x << ", " << y;
                    } else if (place->ink == kRedInk) {
                        ASSERT_TRUE(pixel.r == 255 && pixel.g == pixel.b) << x << ", " << y;
                    } else {
                        ASSERT_TRUE(pixel.r == pixel.g && pixel.g == pixel.b) << x << ", " << y;
                    }
                }
            // A word in another language than English is drawn, and differs where it stands.
            for (const WordPlace* place : places) {
                int changed = 0;
                for (int y = place->ground.top; y <= place->ground.bottom; ++y)
                    for (int x = place->ground.left; x <= place->ground.right; ++x)
                        changed += shown.pixel(x, y) != stored.pixel(x, y);
                const std::string_view word = pictureWordText(language, place->word);
                EXPECT_EQ(changed > 0, word != pictureWordText(english, place->word)) << word;
            }
        }
    }
}

TEST(LessonPictures, ADamagedWordImageIsRefused) {
    const WordPlace& place = kWordPlaces[0];
    const std::string header =
        "P5\n" + std::to_string(place.ground.width()) + " " + std::to_string(place.ground.height()) + "\n255\n";
    const std::size_t pixels = static_cast<std::size_t>(place.ground.width() * place.ground.height());
    const auto image = [](const std::string& head, std::size_t values) {
        std::vector<std::uint8_t> bytes(head.begin(), head.end());
        bytes.resize(bytes.size() + values, 128);
        return bytes;
    };
    ScenePicture picture = loadScenePicture(place.picture);
    layWord(picture, place, image("P5 # a comment\n" + header.substr(3), pixels));
    EXPECT_EQ(picture.pixel(place.ground.left, place.ground.top), (ScenePicture::Rgb{128, 128, 128}));
    for (const std::vector<std::uint8_t>& damaged :
         {image("", 0), image("P6" + header.substr(2), pixels), image("P5\n1 1\n255\n", 1), image(header, pixels - 1),
          image("P5\n" + std::to_string(place.ground.width()) + " 9999999999", 0),
          image(header.substr(0, header.size() - 1), pixels)})
        EXPECT_THROW(layWord(picture, place, damaged), PictureFormatError);
}

} // namespace
} // namespace velmora
