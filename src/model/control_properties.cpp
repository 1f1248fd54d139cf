// SPDX-License-Identifier: MIT
// The properties each kind of control answers to by name, and how they are read and written.
#include "model/form_model.h"
#include "model/run_time_error.h"

#include <algorithm>
#include <array>

namespace velmora {
namespace {

enum class Property {
    Name,
    Index,
    Left,
    Top,
    Width,
    Height,
    Visible,
    TabIndex,
    Tag,
    Caption,
    BackColor,
    ForeColor,
    DragMode,
    FontName,
    FontSize
};

struct PropertyInfo {
    std::string_view name;
    Property property;
    bool onPictureArea;
    bool onLabel;
    bool onPushButton;
};

constexpr std::array<PropertyInfo, 15> kProperties{{
    {"Name", Property::Name, true, true, true},
    {"Index", Property::Index, true, true, true},
    {"Left", Property::Left, true, true, true},
    {"Top", Property::Top, true, true, true},
    {"Width", Property::Width, true, true, true},
    {"Height", Property::Height, true, true, true},
    {"Visible", Property::Visible, true, true, true},
    {"TabIndex", Property::TabIndex, true, true, true},
    {"Tag", Property::Tag, true, true, true},
    {"Caption", Property::Caption, false, true, true},
    {"BackColor", Property::BackColor, true, true, true},
    {"ForeColor", Property::ForeColor, false, true, false},
    {"DragMode", Property::DragMode, true, false, false},
    {"FontName", Property::FontName, false, true, true},
    {"FontSize", Property::FontSize, false, true, true},
}};

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

std::string describe(const Control& control) { return std::string(kindName(control.kind())) + " " + control.name(); }

const PropertyInfo& lookUp(const Control& control, std::string_view name) {
    for (const PropertyInfo& info : kProperties) {
        if (!equalsIgnoringAsciiCase(info.name, name)) continue;
        const bool present = control.kind() == ControlKind::PictureArea ? info.onPictureArea
                             : control.kind() == ControlKind::Label     ? info.onLabel
                                                                        : info.onPushButton;
        if (present) return info;
        break;
    }
    throw RunTimeError(error_number::kNoSuchProperty,
                       "Object doesn't support this property or method: " + describe(control) + " has no property '" +
                           std::string(name) + "'");
}

} // namespace

Variant Control::property(std::string_view name) const {
    const ControlRecord& r = record_;
    switch (lookUp(*this, name).property) {
    case Property::Name: return Variant::text(toUtf16(r.name));
    case Property::Index: return Variant::longValue(r.index);
    case Property::Left: return Variant::longValue(r.left);
    case Property::Top: return Variant::longValue(r.top);
    case Property::Width: return Variant::longValue(r.width);
    case Property::Height: return Variant::longValue(r.height);
    case Property::Visible: return Variant::boolean(r.visible);
    case Property::TabIndex: return Variant::longValue(r.tabIndex);
    case Property::Tag: return Variant::text(r.tag);
    case Property::Caption: return Variant::text(toUtf16(r.caption));
    case Property::BackColor: return Variant::longValue(static_cast<std::int32_t>(r.effectiveBackColor()));
    case Property::ForeColor: return Variant::longValue(static_cast<std::int32_t>(r.effectiveForeColor()));
    case Property::DragMode: return Variant::longValue(r.autoDrag ? 1 : 0);
    case Property::FontName: return Variant::text(toUtf16(r.font ? r.font->family : std::string()));
    case Property::FontSize: return Variant::longValue(r.font ? r.font->sizeTenThousandths : 0);
    }
    return {};
}

void Control::setProperty(std::string_view name, const Variant& value) {
    const PropertyInfo& info = lookUp(*this, name);
    const auto mismatch = [&] {
        return RunTimeError(error_number::kTypeMismatch, "Type mismatch: " + describe(*this) +
                                                             " cannot take that value for '" + std::string(info.name) +
                                                             "'");
    };
    switch (info.property) {
    case Property::Visible: {
        std::optional<bool> visible = value.asBoolean();
        if (!visible && value.asLong()) visible = *value.asLong() != 0;
        if (!visible) throw mismatch();
        const Status status = form_->changeVisible(*this, *visible);
        if (failed(status))
            throw RunTimeError(status, "Method 'Visible' of object '" + record_.name + "' failed (status " +
                                           hexStatus(status) + ")");
        return;
    }
    case Property::Tag: {
        const auto text = value.asText();
        if (!text) throw mismatch();
        record_.tag = std::u16string(*text);
        return;
    }
    default:
        throw RunTimeError(error_number::kPropertyReadOnly, "Property is read-only: '" + std::string(info.name) +
                                                                "' of " + describe(*this) +
                                                                " cannot be changed while the program runs");
    }
}

} // namespace velmora
