// SPDX-License-Identifier: MIT
#include "ui/key_state.h"

#include <QGuiApplication>

#if defined(VELMORA_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace velmora {

bool keyDownOnWindowSystem(quint32 nativeScanCode) {
#if defined(VELMORA_XCB) && QT_CONFIG(xcb)
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || nativeScanCode == 0 || nativeScanCode > 255) return false;
    xcb_connection_t* connection = x11->connection();
    xcb_query_keymap_reply_t* keymap = xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr);
    if (keymap == nullptr) return false;
    const bool down = (keymap->keys[nativeScanCode / 8] >> (nativeScanCode % 8)) & 1;
    std::free(keymap);
    return down;
#else
    (void)nativeScanCode;
    return false;
#endif
}

} // namespace velmora
