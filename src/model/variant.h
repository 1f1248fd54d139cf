// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace velmora {

// Type codes of the values a Variant can hold. TextConstant is text that the variant only points
// at (a constant of the program), so releasing the variant never frees it.
enum class VariantType : std::uint16_t {
    Empty = 0,
    Long = 3,
    Text = 8,
    Boolean = 11,
    TextConstant = 0x8008,
};

/*
 * The value type of by-name property access: empty, a 32-bit integer, a boolean, owned UTF-16
 * text, or borrowed UTF-16 text. A TextConstant variant must not outlive the text it points at.
 */
class Variant final {
public:
    Variant() = default;

    static Variant boolean(bool value) { return Variant(Storage(std::in_place_index<2>, value)); }
    static Variant longValue(std::int32_t value) { return Variant(Storage(std::in_place_index<1>, value)); }
    static Variant text(std::u16string value) { return Variant(Storage(std::in_place_index<3>, std::move(value))); }
    static Variant textConstant(std::u16string_view value) { return Variant(Storage(std::in_place_index<4>, value)); }

    VariantType type() const;
    bool isEmpty() const { return storage_.index() == 0; }

    // The value when the variant holds one of that type, otherwise nothing. asText() answers for
    // both owned and borrowed text.
    std::optional<std::int32_t> asLong() const;
    std::optional<bool> asBoolean() const;
    std::optional<std::u16string_view> asText() const;

    // Empties the variant, releasing owned text.
    void clear() { storage_.emplace<0>(); }

    friend bool operator==(const Variant&, const Variant&) = default;

private:
    using Storage = std::variant<std::monostate, std::int32_t, bool, std::u16string, std::u16string_view>;
    explicit Variant(Storage s) : storage_(std::move(s)) {}
    Storage storage_;
};

// UTF-16 text of an ASCII or UTF-8 string; invalid UTF-8 sequences become U+FFFD.
std::u16string toUtf16(std::string_view utf8);

} // namespace velmora
