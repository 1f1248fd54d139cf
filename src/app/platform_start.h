// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdlib>

namespace velmora {

/*
 * Watches Qt's start-up while it lives. Qt ends a program whose window system it cannot reach
 * with a fatal message, advice to reinstall and a core dump; here that becomes one line on stderr
 * that names the problem and what to do, and the exit status kExitOnError. Qt's own messages
 * from the start are held back and, once the start has succeeded, passed on unchanged. Qt's
 * platform choice (-platform, QT_QPA_PLATFORM) is left to Qt. Create it just before the
 * QApplication and end it just after; only one may live at a time.
 */
class PlatformStartGuard final {
public:
    PlatformStartGuard(int argc, char** argv);
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;
};

// What the program says when no window system can be reached, from the platform asked for
// (empty: Qt's choice) and the environment's DISPLAY and WAYLAND_DISPLAY (empty: not set).
QString noDisplayMessage(const QString& platform, const QString& display, const QString& waylandDisplay);

} // namespace velmora
