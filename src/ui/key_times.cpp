// SPDX-License-Identifier: MIT
#include "ui/key_times.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QKeyEvent>

#include <deque>

#if defined(VELMORA_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

namespace velmora {
namespace {

struct NotedKey {
    bool press = false;
    std::uint32_t code = 0;
    std::uint32_t time = 0;
};

// The key events X delivered that no key event of the window has been matched with yet.
std::deque<NotedKey>& noted() {
    static std::deque<NotedKey> keys;
    return keys;
}

constexpr std::size_t kMostNoted = 256; // far more than a screen reader keeps waiting

class KeyTimeFilter final : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override {
        (void)result;
#if defined(VELMORA_XCB) && QT_CONFIG(xcb)
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const int kind = event->response_type & ~0x80;
        if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) return false;
        const auto* key = static_cast<const xcb_key_press_event_t*>(message);
        noted().push_back({kind == XCB_KEY_PRESS, key->detail, key->time});
        if (noted().size() > kMostNoted) noted().pop_front();
#else
        (void)type;
        (void)message;
#endif
        return false;
    }
};

} // namespace

void watchKeyTimes() {
    static KeyTimeFilter* filter = nullptr;
    if (filter != nullptr || QCoreApplication::instance() == nullptr) return;
    filter = new KeyTimeFilter;
    QCoreApplication::instance()->installNativeEventFilter(filter);
}

std::uint64_t keyEventTime(const QKeyEvent& event) {
    const bool press = event.type() == QEvent::KeyPress;
    std::deque<NotedKey>& keys = noted();
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        if (it->press != press || it->code != event.nativeScanCode()) continue;
        const std::uint32_t time = it->time;
        keys.erase(keys.begin(), std::next(it));
        return event.timestamp() != 0 ? event.timestamp() : time;
    }
    return event.timestamp();
}

} // namespace velmora
