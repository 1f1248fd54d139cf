// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace velmora::testing {

// The storms' seed: VELMORA_STORM_SEED when set (decimal or 0x-hex), a fixed default otherwise.
// It is printed, so that any failing run can be repeated exactly.
inline std::uint64_t stormSeed(const char* storm) {
    std::uint64_t seed = 0x7E55'1DA5'2024'0001ull;
    if (const char* text = std::getenv("VELMORA_STORM_SEED"); text != nullptr && *text != '\0') {
        char* end = nullptr;
        seed = std::strtoull(text, &end, 0);
        if (end == nullptr || *end != '\0') {
            std::fprintf(stderr, "VELMORA_STORM_SEED='%s' is not a number\n", text);
            std::exit(2);
        }
    }
    std::printf("%s storm seed: %llu (repeat with VELMORA_STORM_SEED=%llu)\n", storm,
                static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed));
    std::fflush(stdout);
    return seed;
}

} // namespace velmora::testing
