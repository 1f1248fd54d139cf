// SPDX-License-Identifier: MIT
#pragma once

// The bytes of src/assets/records/*.rec, compiled into the program by embed_records.cmake.

#include <cstddef>

namespace velmora::stored_records {

extern const unsigned char kEnzyme[];
extern const std::size_t kEnzymeSize;
extern const unsigned char kSubstrate[];
extern const std::size_t kSubstrateSize;
extern const unsigned char kProducts[];
extern const std::size_t kProductsSize;
extern const unsigned char kComplex[];
extern const std::size_t kComplexSize;

} // namespace velmora::stored_records
