// SPDX-License-Identifier: MIT
#include "model/control_record.h"

namespace velmora {
namespace {

constexpr OleColor kButtonFace = systemColor(SystemColor::ButtonFace);
constexpr OleColor kButtonText = systemColor(SystemColor::ButtonText);

} // namespace

std::string_view kindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::PictureArea: return "picture area";
    case ControlKind::Label: return "label";
    case ControlKind::PushButton: return "push button";
    }
    return "control";
}

// Every kind defaults to the button face behind button text, as standard dialog controls do.
OleColor ControlRecord::effectiveBackColor() const { return backColor.value_or(kButtonFace); }
OleColor ControlRecord::effectiveForeColor() const { return foreColor.value_or(kButtonText); }

} // namespace velmora
