// SPDX-License-Identifier: MIT
#include "language/message_catalogue.h"

#include <algorithm>
#include <string>

namespace velmora {
namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::size_t kHeaderSize = 28;
constexpr char kContextEnd = '\x04'; // between a msgctxt and its msgid

// Reads the file's 32-bit words in the byte order its magic number was written in.
class Words {
public:
    explicit Words(std::span<const std::uint8_t> bytes) : bytes_(bytes) {
        if (bytes_.size() < kHeaderSize) throw CatalogueFormatError("the catalogue is shorter than its header");
        if (at(0) != kMagic) {
            swapped_ = true;
            if (at(0) != kMagic) throw CatalogueFormatError("the catalogue does not start with the .mo magic number");
        }
    }

    // The word at `offset`: little-endian, or big-endian in a file whose magic number reads swapped.
    std::uint32_t at(std::uint64_t offset) const {
        if (offset > bytes_.size() || bytes_.size() - offset < 4)
            throw CatalogueFormatError("a table of the catalogue runs past its end");
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const auto byte =
                static_cast<std::size_t>(swapped_ ? offset + static_cast<std::uint64_t>(i) : offset + 3 - i);
            value = value << 8 | bytes_[byte];
        }
        return value;
    }

    // The string that the table entry at `offset` (its length, then its offset) points to.
    std::string_view string(std::uint64_t offset) const {
        const std::uint64_t length = at(offset);
        const std::uint64_t start = at(offset + 4);
        if (start + length >= bytes_.size() || bytes_[static_cast<std::size_t>(start + length)] != 0)
            throw CatalogueFormatError("a string of the catalogue runs past its end or lacks its terminating NUL");
        return {reinterpret_cast<const char*>(bytes_.data()) + static_cast<std::size_t>(start),
                static_cast<std::size_t>(length)};
    }

private:
    std::span<const std::uint8_t> bytes_;
    bool swapped_ = false;
};

} // namespace

MessageCatalogue::MessageCatalogue(std::span<const std::uint8_t> mo) {
    const Words words(mo);
    if (words.at(4) >> 16 > 1) throw CatalogueFormatError("the catalogue's format revision is unknown");
    const std::uint64_t count = words.at(8);
    const std::uint64_t originals = words.at(12);
    const std::uint64_t translations = words.at(16);
    if (count * 8 > mo.size()) throw CatalogueFormatError("the catalogue claims more texts than it can hold");
    bool utf8 = false;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::string_view original = words.string(originals + i * 8);
        const std::string_view translation = words.string(translations + i * 8);
        if (original.empty()) {
            utf8 = translation.find("charset=UTF-8") != std::string_view::npos;
            continue;
        }
        if (!translation.empty()) entries_.emplace_back(original, translation);
    }
    if (!utf8) throw CatalogueFormatError("the catalogue's header does not say charset=UTF-8");
    std::sort(entries_.begin(), entries_.end());
}

std::optional<std::string_view> MessageCatalogue::find(std::string_view context, std::string_view text) const {
    std::string keyed;
    std::string_view key = text;
    if (!context.empty()) {
        keyed.append(context).push_back(kContextEnd);
        keyed.append(text);
        key = keyed;
    }
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                                     [](const auto& entry, std::string_view k) { return entry.first < k; });
    if (it == entries_.end() || it->first != key) return std::nullopt;
    return it->second;
}

} // namespace velmora
