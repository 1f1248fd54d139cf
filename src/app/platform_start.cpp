// SPDX-License-Identifier: MIT
#include "app/platform_start.h"

#include "app/error_policy.h"

#include <QByteArray>
#include <QList>

#include <cstdio>

namespace velmora {
namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

QtMessageHandler g_previous = nullptr;
QList<HeldMessage>* g_held = nullptr;
QString g_platform; // as asked for on the command line or in the environment

QString environment(const char* name) { return QString::fromLocal8Bit(qgetenv(name)); }

void duringStart(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        g_held->append({type, QByteArray(context.category ? context.category : "default"), text});
        return;
    }
    // Qt would abort now. Nothing was shown and nothing is lost, so the program just ends.
    writeToStderr(stderrLine(noDisplayMessage(g_platform, environment("DISPLAY"), environment("WAYLAND_DISPLAY"))));
    std::_Exit(kExitOnError);
}

} // namespace

QString noDisplayMessage(const QString& platform, const QString& display, const QString& waylandDisplay) {
    const bool windowSystem = platform.isEmpty() || platform.startsWith(QLatin1String("xcb")) ||
                              platform.startsWith(QLatin1String("wayland"));
    QString reason;
    if (!windowSystem)
        reason = QStringLiteral("the Qt platform \"%1\" could not start").arg(platform);
    else if (display.isEmpty() && waylandDisplay.isEmpty())
        reason = QStringLiteral("DISPLAY is not set and no Wayland compositor is running");
    else if (!display.isEmpty())
        reason = QStringLiteral("the X display \"%1\" does not answer").arg(display);
    else
        reason = QStringLiteral("the Wayland compositor \"%1\" does not answer").arg(waylandDisplay);
    return QStringLiteral("cannot open a display (%1). Start it from a desktop session.").arg(reason);
}

PlatformStartGuard::PlatformStartGuard(int argc, char** argv) {
    g_platform = environment("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0)
            g_platform = QString::fromLocal8Bit(argv[i + 1]);
    g_held = new QList<HeldMessage>;
    g_previous = qInstallMessageHandler(duringStart);
}

PlatformStartGuard::~PlatformStartGuard() {
    qInstallMessageHandler(g_previous);
    const QList<HeldMessage> held = std::move(*g_held);
    delete g_held;
    g_held = nullptr;
    for (const HeldMessage& m : held) {
        const QMessageLogContext context(nullptr, 0, nullptr, m.category.constData());
        if (g_previous != nullptr)
            g_previous(m.type, context, m.text);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(m.type, context, m.text)));
    }
}

} // namespace velmora
