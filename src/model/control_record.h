// SPDX-License-Identifier: MIT
#pragma once

#include "model/ole_color.h"
#include "model/picture_id.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The width of the default picture-area frame on each side, in pixels. A picture area's own
// coordinates, and its picture, start inside it.
inline constexpr int kPictureAreaFrameWidth = 2;

enum class ControlKind : std::uint8_t { PictureArea, Label, PushButton };

std::string_view kindName(ControlKind kind);

// A font as the form stores it. The size is in ten-thousandths of a point (157500 is 15.75 pt).
struct FontSpec {
    std::string family;
    std::int32_t sizeTenThousandths = 0;
    std::int16_t weight = 400;
    std::uint8_t charset = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;

    double points() const { return sizeTenThousandths / 10000.0; }
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// One control of a form as described: its layout in twips relative to the form's client area and
// its properties. `visible` is the current flag once the record lives inside a FormModel.
struct ControlRecord {
    std::string name;
    ControlKind kind = ControlKind::PictureArea;
    std::uint8_t index = 0;
    std::int16_t left = 0;
    std::int16_t top = 0;
    std::int16_t width = 0;
    std::int16_t height = 0;
    bool visible = true;
    std::int16_t tabIndex = 0;
    std::u16string tag;
    std::string caption;
    std::optional<OleColor> backColor;
    std::optional<OleColor> foreColor;
    std::optional<FontSpec> font;
    std::optional<PictureId> picture;
    bool autoDrag = false;

    // Whether the user can move the keyboard focus to this kind of control (labels never take it).
    bool canTakeFocus() const { return kind != ControlKind::Label; }
    // The colour the control is filled with: its own, or its kind's default.
    OleColor effectiveBackColor() const;
    // The colour its caption is drawn in: its own, or its kind's default.
    OleColor effectiveForeColor() const;
};

} // namespace velmora
