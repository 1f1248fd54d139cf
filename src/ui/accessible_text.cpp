// SPDX-License-Identifier: MIT
#include "ui/accessible_text.h"

#include "reaction/lesson_texts.h"
#include "ui/qt_conversions.h"

namespace velmora {

AccessibleText accessibleTextFor(const Language& language, std::string_view control) {
    const ControlText text = controlText(language, control);
    return {fromUtf8(text.name), fromUtf8(text.description)};
}

} // namespace velmora
