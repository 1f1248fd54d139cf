// SPDX-License-Identifier: MIT
#include "model/variant.h"

namespace velmora {

VariantType Variant::type() const {
    switch (storage_.index()) {
    case 1: return VariantType::Long;
    case 2: return VariantType::Boolean;
    case 3: return VariantType::Text;
    case 4: return VariantType::TextConstant;
    default: return VariantType::Empty;
    }
}

std::optional<std::int32_t> Variant::asLong() const {
    if (const auto* v = std::get_if<1>(&storage_)) return *v;
    return std::nullopt;
}

std::optional<bool> Variant::asBoolean() const {
    if (const auto* v = std::get_if<2>(&storage_)) return *v;
    return std::nullopt;
}

std::optional<std::u16string_view> Variant::asText() const {
    if (const auto* v = std::get_if<3>(&storage_)) return std::u16string_view(*v);
    if (const auto* v = std::get_if<4>(&storage_)) return *v;
    return std::nullopt;
}

std::u16string toUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80           ? 1
                           : (lead >> 5) == 0x6  ? 2
                           : (lead >> 4) == 0xE  ? 3
                           : (lead >> 3) == 0x1E ? 4
                                                 : 0;
        char32_t cp = length == 1 ? lead : length == 2 ? (lead & 0x1Fu) : length == 3 ? (lead & 0x0Fu) : (lead & 0x07u);
        bool valid = length != 0 && i + static_cast<std::size_t>(length) <= utf8.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3Fu);
        }
        if (!valid || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += static_cast<std::size_t>(length);
    }
    return out;
}

} // namespace velmora
