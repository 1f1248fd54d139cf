// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

namespace velmora {

// Whether the key with this native scan code is down now, as the window system tells it (on X,
// the server's keymap); false where it cannot tell.
bool keyDownOnWindowSystem(quint32 nativeScanCode);

} // namespace velmora
