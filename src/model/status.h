// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace velmora {

// Result of a typed control call: zero or positive is success, negative is failure.
using Status = std::int32_t;

inline constexpr Status kStatusOk = 0;
inline constexpr Status kStatusFail = static_cast<Status>(0x80004005u);

constexpr bool failed(Status s) { return s < 0; }

// Booleans that cross control interfaces are 16 bits wide: true is -1, false is 0.
using VbBool = std::int16_t;

inline constexpr VbBool kVbTrue = -1;
inline constexpr VbBool kVbFalse = 0;

constexpr VbBool toVbBool(bool b) { return b ? kVbTrue : kVbFalse; }

} // namespace velmora
