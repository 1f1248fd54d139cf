// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace velmora {

/*
 * Tells whether a screen reader runs, as the desktop's accessibility bus says (the
 * ScreenReaderEnabled flag a screen reader such as Orca sets as it starts and clears as it
 * stops): changed() gives the flag once it has been read, and again each time it changes. With no
 * session bus, or no accessibility bus running, it never fires: no screen reader.
 */
class ScreenReaderWatch final : public QObject {
    Q_OBJECT
public:
    explicit ScreenReaderWatch(QObject* parent);

signals:
    void changed(bool running);

private slots:
    void propertiesChanged(const QString& interface, const QVariantMap& properties, const QStringList& invalidated);
};

} // namespace velmora
