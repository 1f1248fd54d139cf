// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>

namespace velmora {

/*
 * A colour as the form stores it: a 32-bit OLE colour. With the top bit set the low byte is a
 * Windows system colour index; with the top byte zero the low three bytes are red, green and blue
 * (red lowest). Anything else is not a colour this program can draw.
 */
using OleColor = std::uint32_t;

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

// The Windows system colour indexes that the form and its controls are drawn with.
enum class SystemColor : std::uint8_t {
    WindowFrame = 6,
    MenuText = 7,
    HighlightText = 14,
    ButtonFace = 15,
    ButtonShadow = 16,
    ButtonText = 18,
    ButtonHighlight = 20,
};

constexpr bool isSystemColor(OleColor c) { return (c & 0x80000000u) != 0; }
constexpr OleColor systemColor(SystemColor index) { return 0x80000000u | static_cast<std::uint8_t>(index); }

// The colour `c` stands for on the standard Windows colour scheme, or nothing when `c` names no
// system colour that exists or has a top byte this program does not understand.
std::optional<Rgb> resolveColor(OleColor c);

} // namespace velmora
