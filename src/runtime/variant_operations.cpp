// SPDX-License-Identifier: MIT
#include "runtime/variant_operations.h"

#include "model/run_time_error.h"

namespace velmora {
namespace {

// Property names arrive as UTF-16; a name with anything but ASCII in it matches no property.
std::string asciiName(const char16_t* name) {
    std::string ascii;
    for (const char16_t* c = name; *c != u'\0'; ++c) ascii.push_back(*c < 0x80 ? static_cast<char>(*c) : '?');
    return ascii;
}

} // namespace

void VariantTemporary::set(Variant value) {
    freeVar(*this);
    value_ = std::move(value);
    holds_ = true;
    Temporaries::acquired();
}

void lateGet(VariantTemporary& result, Control& source, const char16_t* name) {
    freeVar(result);
    result.set(source.property(asciiName(name)));
}

void lateSet(Control& source, const char16_t* name, const Variant& value) {
    source.setProperty(asciiName(name), value);
}

VbBool textEquals(std::u16string_view constant, const Variant& value) {
    const auto text = value.asText();
    return toVbBool(text && *text == constant);
}

} // namespace velmora
