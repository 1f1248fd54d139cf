// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>

namespace velmora {

// The four scene pictures a picture area can hold.
enum class PictureId : std::uint8_t { Enzyme, Substrate, Products, Complex };

inline constexpr PictureId kAllPictures[] = {PictureId::Enzyme, PictureId::Substrate, PictureId::Products,
                                             PictureId::Complex};

// Lower-case name used in messages and file names ("enzyme", "substrate", "products", "complex").
constexpr std::string_view pictureName(PictureId id) {
    switch (id) {
    case PictureId::Enzyme: return "enzyme";
    case PictureId::Substrate: return "substrate";
    case PictureId::Products: return "products";
    case PictureId::Complex: return "complex";
    }
    return "unknown";
}

// The words drawn in the pictures: the enzyme's (also on the enzyme part of the complex), the
// substrate's (also on the complex) and the products'.
enum class PictureWord : std::uint8_t { Enzyme, Substrate, Product };

// Lower-case name used in file names ("enzyme", "substrate", "product").
constexpr std::string_view pictureWordName(PictureWord word) {
    switch (word) {
    case PictureWord::Enzyme: return "enzyme";
    case PictureWord::Substrate: return "substrate";
    case PictureWord::Product: return "product";
    }
    return "unknown";
}

} // namespace velmora
