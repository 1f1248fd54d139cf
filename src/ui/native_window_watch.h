// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <QWidget>

namespace velmora {

/*
 * Notices when someone else destroys a window's native window (a broken window manager, a tool
 * that destroys windows) and closes the widget then, as if its close box had been pressed, so
 * the program does not go on with no window. Under X11 the window system says so with a
 * DestroyNotify event; elsewhere a program's windows are its own and this watches nothing.
 */
class NativeWindowWatch final : public QAbstractNativeEventFilter {
public:
    // Starts watching `window`, which must be a top-level widget; stops when this is destroyed.
    explicit NativeWindowWatch(QWidget* window);
    ~NativeWindowWatch() override;
    NativeWindowWatch(const NativeWindowWatch&) = delete;
    NativeWindowWatch& operator=(const NativeWindowWatch&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QPointer<QWidget> window_;
};

} // namespace velmora
