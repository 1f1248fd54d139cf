// SPDX-License-Identifier: MIT
#pragma once

#include "model/form_model.h"
#include "model/variant.h"
#include "runtime/temporaries.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velmora {

/*
 * Text stored as the runtime expects a constant string: its length in bytes, the UTF-16
 * characters and a zero terminator. Variants point at it and never free it.
 */
template <std::size_t N>
struct TextConstant {
    std::uint32_t byteCount;
    char16_t characters[N];

    constexpr std::u16string_view view() const { return {characters, N - 1}; }
};

template <std::size_t N>
consteval TextConstant<N> textConstant(const char16_t (&text)[N]) {
    TextConstant<N> constant{static_cast<std::uint32_t>((N - 1) * sizeof(char16_t)), {}};
    for (std::size_t i = 0; i < N; ++i) constant.characters[i] = text[i];
    return constant;
}

inline constexpr auto kSubstrateText = textConstant(u"substrate");

// Zero-terminated UTF-16 property names the handlers use.
inline constexpr char16_t kTagName[] = u"Tag";
inline constexpr char16_t kVisibleName[] = u"Visible";

class VariantTemporary;
void freeVar(VariantTemporary& temporary) noexcept;

/*
 * A handler's temporary variant. A filled one counts as a live temporary until freeVar empties it;
 * leaving the scope frees it.
 */
class VariantTemporary final {
public:
    VariantTemporary() = default;
    VariantTemporary(const VariantTemporary&) = delete;
    VariantTemporary& operator=(const VariantTemporary&) = delete;
    ~VariantTemporary() { freeVar(*this); }

    const Variant& value() const { return value_; }
    bool holdsValue() const { return holds_; }

    // Stores `value`, freeing what the temporary held before.
    void set(Variant value);

private:
    friend void freeVar(VariantTemporary&) noexcept;
    Variant value_;
    bool holds_ = false;
};

// Reads `source`'s property `name` by name into `result` (freeing what it held).
// Throws RunTimeError when the source has no such property; `result` is then left empty.
void lateGet(VariantTemporary& result, Control& source, const char16_t* name);

// Sets `source`'s property `name` by name to `value`.
// Throws RunTimeError when the source has no such property or refuses the value.
void lateSet(Control& source, const char16_t* name, const Variant& value);

// kVbTrue when `value` holds text equal to `constant` character by character (no case folding,
// no trimming, no locale rules), kVbFalse otherwise, including for non-text values.
template <std::size_t N>
VbBool varTestEq(const TextConstant<N>& constant, const Variant& value);

// Empties the temporary, releasing what it held.
inline void freeVar(VariantTemporary& temporary) noexcept {
    if (!temporary.holds_) return;
    temporary.value_.clear();
    temporary.holds_ = false;
    Temporaries::released();
}

// Frees every temporary listed, as a handler's clean-up does.
template <class... Temporary>
void freeVarList(Temporary&... temporaries) noexcept {
    (freeVar(temporaries), ...);
}

VbBool textEquals(std::u16string_view constant, const Variant& value);

template <std::size_t N>
VbBool varTestEq(const TextConstant<N>& constant, const Variant& value) {
    return textEquals(constant.view(), value);
}

} // namespace velmora
