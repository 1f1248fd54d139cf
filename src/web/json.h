// SPDX-License-Identifier: MIT
#pragma once

// JSON values as the web edition writes them, for the page's script: a text, a number, a flag,
// an object's field, and an object or an array of values that are JSON already. A text never
// holds a raw '<', so JSON can stand inside a <script> element of an HTML page as it is.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::json {

inline std::string text(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        char escaped[8] = {c};
        if (static_cast<unsigned char>(c) < 0x20 || c == '<')
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(static_cast<unsigned char>(c)));
        if (c == '"' || c == '\\') escaped[0] = '\\', escaped[1] = c;
        out += escaped;
    }
    return out + '"';
}
inline std::string number(int value) { return std::to_string(value); }
inline std::string flag(bool value) { return value ? "true" : "false"; }
inline std::string field(std::string_view key, std::string_view json) { return text(key) + ':' + std::string(json); }
inline std::string joined(char open, const std::vector<std::string>& items, char close) {
    std::string out(1, open);
    for (const std::string& item : items) (out += out.size() > 1 ? "," : "") += item;
    return out + close;
}
inline std::string object(const std::vector<std::string>& fields) { return joined('{', fields, '}'); }
inline std::string array(const std::vector<std::string>& items) { return joined('[', items, ']'); }

} // namespace velmora::json
