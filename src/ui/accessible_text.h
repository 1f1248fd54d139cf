// SPDX-License-Identifier: MIT
#pragma once

#include "language/language.h"

#include <QString>

#include <string_view>

namespace velmora {

// What assistive technology is told about a control: a short name and what it shows or does.
struct AccessibleText {
    QString name;
    QString description;
};

// The words of the lesson's own table, in `language`, for the named control of Form1; empty for a
// name it does not know.
AccessibleText accessibleTextFor(const Language& language, std::string_view control);

} // namespace velmora
