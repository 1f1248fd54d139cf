// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

// A message catalogue that is not a well-formed GNU .mo file in UTF-8; says what is wrong.
class CatalogueFormatError final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/*
 * The translations of one language, read from a GNU .mo file (what msgfmt writes from a .po
 * file): pairs of an original text and its translation, each UTF-8 and NUL-terminated, found
 * through two tables of lengths and offsets. The catalogue keeps views into the file's bytes,
 * which must outlive it.
 *
 * The constructor throws CatalogueFormatError for anything but a well-formed file whose header
 * says charset=UTF-8; it never reads outside the bytes it is given. find() returns the
 * translation of a text, or nothing when the catalogue has none (or an empty one).
 */
class MessageCatalogue final {
public:
    explicit MessageCatalogue(std::span<const std::uint8_t> mo);

    // The translation of `text`, looked up under `context` when that is not empty (gettext's
    // msgctxt).
    std::optional<std::string_view> find(std::string_view context, std::string_view text) const;

    // How many texts the catalogue translates (its header entry not counted).
    std::size_t size() const { return entries_.size(); }

private:
    std::vector<std::pair<std::string_view, std::string_view>> entries_; // sorted by original
};

} // namespace velmora
