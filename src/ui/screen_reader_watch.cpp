// SPDX-License-Identifier: MIT
#include "ui/screen_reader_watch.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace velmora {
namespace {

const QString kService = QStringLiteral("org.a11y.Bus");
const QString kPath = QStringLiteral("/org/a11y/bus");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kStatus = QStringLiteral("org.a11y.Status");
const QString kScreenReader = QStringLiteral("ScreenReaderEnabled");

} // namespace

ScreenReaderWatch::ScreenReaderWatch(QObject* parent) : QObject(parent) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    bus.connect(kService, kPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, kProperties, QStringLiteral("Get"));
    get << kStatus << kScreenReader;
    // A bus that is not running means no screen reader: it is not started for this question.
    get.setAutoStartService(false);
    auto* reply = new QDBusPendingCallWatcher(bus.asyncCall(get), this);
    connect(reply, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<QDBusVariant> answer = *call;
        if (answer.isValid()) emit changed(answer.value().variant().toBool());
        call->deleteLater();
    });
}

void ScreenReaderWatch::propertiesChanged(const QString& interface, const QVariantMap& properties, const QStringList&) {
    if (interface != kStatus) return;
    if (const auto it = properties.constFind(kScreenReader); it != properties.constEnd()) emit changed(it->toBool());
}

} // namespace velmora
