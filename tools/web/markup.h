// SPDX-License-Identifier: MIT
#pragma once

// Text as the build's HTML and XML files carry it: escaped for an element or a quoted attribute.

#include <string>
#include <string_view>

namespace velmora {

inline std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// ` name="value"`, the value escaped.
inline std::string attribute(std::string_view name, std::string_view value) {
    return ' ' + std::string(name) + "=\"" + escaped(value) + '"';
}

} // namespace velmora
