// SPDX-License-Identifier: MIT
#pragma once

#include "model/control_record.h"
#include "model/ole_color.h"
#include "model/twips.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <string_view>

namespace velmora {

// The colour `c` stands for; a value that names no colour draws black rather than failing.
QColor toQColor(OleColor c);

// The control's rectangle in window pixels.
QRect pixelRect(const ControlRecord& record);

// A text of the core (UTF-8).
QString fromUtf8(std::string_view text);

// The stored font: the stored family where installed, else Comic Neue, else a sans family.
QFont toQFont(const FontSpec& stored);

} // namespace velmora
