// SPDX-License-Identifier: MIT
#pragma once

// Files compiled into the program by cmake/embed_files.cmake.

#include <cstdint>
#include <span>
#include <string_view>

namespace velmora {

struct EmbeddedFile {
    std::string_view name;
    std::span<const std::uint8_t> bytes;
};

// The catalogue of each translation of the lesson's texts, named by its language's code ("de",
// "pt_BR"): what msgfmt makes of po/<code>.po.
std::span<const EmbeddedFile> embeddedCatalogues();

} // namespace velmora
