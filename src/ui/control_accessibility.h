// SPDX-License-Identifier: MIT
#pragma once

namespace velmora {

// Registers how the form's own controls present themselves to assistive technology: a picture
// area takes the lesson's role (button or graphic) and action (Press, Pick up); a label is
// static text; the announcer is a notification; the form's window is a window. Call before the
// first control is created; later calls do nothing.
void installControlAccessibility();

} // namespace velmora
