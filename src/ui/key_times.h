// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

class QKeyEvent;

namespace velmora {

// Starts noting the time of every key event the window system delivers, in the order it
// delivers them (on X; elsewhere it does nothing). Call once the application exists; later calls
// do nothing.
void watchKeyTimes();

// The window system's time of `event` in ms: its own, or for one of Qt's copies made after a
// screen reader saw the key first (which carry none), the time of the X event it was copied
// from. Copies come in the order of the X events, so the first noted event of the same kind and
// key is its original; the ones noted before it never reached the window. 0 where neither is
// known.
std::uint64_t keyEventTime(const QKeyEvent& event);

} // namespace velmora
