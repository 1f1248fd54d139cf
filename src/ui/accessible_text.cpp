// SPDX-License-Identifier: MIT
#include "ui/accessible_text.h"

#include "reaction/lesson_texts.h"

namespace velmora {
namespace {

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

} // namespace

AccessibleText accessibleTextFor(std::string_view control) {
    const ControlText text = controlText(control);
    return {fromUtf8(text.name), fromUtf8(text.description)};
}

QString stageDescription(Stage stage) { return fromUtf8(stageText(stage)); }

} // namespace velmora
