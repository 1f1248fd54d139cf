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

} // namespace velmora
