// SPDX-License-Identifier: MIT
// Writes the web edition's page from its template: each @NAME@ becomes the core's text of that
// name, escaped for HTML, so the page says what it must say before any script runs in the
// lesson's own words. Run by node at build time:  fill_page TEMPLATE OUTPUT
#include "reaction/lesson_texts.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>

namespace {

std::string escaped(std::string_view text) {
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

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: fill_page TEMPLATE OUTPUT\n";
        return 2;
    }
    const std::map<std::string, std::string_view, std::less<>> texts{
        {"CANNOT_RUN", velmora::cannotRunText()}, {"CANNOT_LOAD", velmora::cannotLoadText()},
        {"LOADING", velmora::loadingText()},      {"FROM_FILE", velmora::fromFileText()},
        {"TRY_AGAIN", velmora::tryAgainText()},
    };
    std::ifstream in(argv[1], std::ios::binary);
    const std::string page{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in) {
        std::cerr << "fill_page: cannot read " << argv[1] << '\n';
        return 1;
    }
    std::string out;
    for (std::size_t at = 0; at < page.size();) {
        const std::size_t open = page.find('@', at);
        const std::size_t close = open == std::string::npos ? open : page.find('@', open + 1);
        if (close == std::string::npos) {
            out += page.substr(at);
            break;
        }
        const auto text = texts.find(std::string_view(page).substr(open + 1, close - open - 1));
        if (text == texts.end()) {
            std::cerr << "fill_page: " << argv[1]
                      << " names no text the lesson has: " << page.substr(open, close - open + 1) << '\n';
            return 1;
        }
        out += page.substr(at, open - at) + escaped(text->second);
        at = close + 1;
    }
    std::ofstream(argv[2], std::ios::binary) << out;
    return 0;
}
