// SPDX-License-Identifier: MIT
#include "ui/announcer.h"

#include <QAccessible>

namespace velmora {

Announcer::Announcer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Announcer"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    // One pixel in the corner, drawn as nothing: hidden widgets are not spoken, so it has to show.
    setGeometry(0, 0, 1, 1);
    hide();
}

void Announcer::announce(const QString& text) {
    if (text.isEmpty()) return;
    if (pending_.isEmpty()) QMetaObject::invokeMethod(this, &Announcer::sayPending, Qt::QueuedConnection);
    pending_.append(text);
}

void Announcer::sayPending() {
    const QString text = pending_.join(QLatin1Char(' '));
    pending_.clear();
    setAccessibleName(text);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(this, text);
    QAccessible::updateAccessibility(&event);
#else
    // Hidden and shown again: a showing notification is what is spoken, even with the same words.
    hide();
    show();
#endif
}

} // namespace velmora
