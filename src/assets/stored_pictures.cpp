// SPDX-License-Identifier: MIT
#include "assets/stored_pictures.h"

#include "assets/stored_records.h"

namespace velmora {

std::span<const std::uint8_t> storedPictureRecord(PictureId id) {
    using namespace stored_records;
    switch (id) {
    case PictureId::Enzyme: return {kEnzyme, kEnzymeSize};
    case PictureId::Substrate: return {kSubstrate, kSubstrateSize};
    case PictureId::Products: return {kProducts, kProductsSize};
    case PictureId::Complex: return {kComplex, kComplexSize};
    }
    return {};
}

ScenePicture loadScenePicture(PictureId id) { return decodePictureRecord(storedPictureRecord(id), pictureName(id)); }

} // namespace velmora
