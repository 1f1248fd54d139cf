// SPDX-License-Identifier: MIT
#include "ui/native_window_watch.h"

#include <QCoreApplication>
#include <QTimer>

#ifdef VELMORA_XCB
#include <xcb/xcb.h>
#endif

namespace velmora {

NativeWindowWatch::NativeWindowWatch(QWidget* window) : window_(window) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

NativeWindowWatch::~NativeWindowWatch() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool NativeWindowWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
#ifdef VELMORA_XCB
    if (eventType != "xcb_generic_event_t" || window_ == nullptr || !window_->testAttribute(Qt::WA_WState_Created))
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_DESTROY_NOTIFY) return false;
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    if (destroyed->window != static_cast<xcb_window_t>(window_->winId())) return false;
    // Closed once Qt is done with this event, as the close box would close it.
    QTimer::singleShot(0, window_, [window = window_] {
        if (window) window->close();
    });
#else
    (void)eventType;
    (void)message;
#endif
    return false;
}

} // namespace velmora
