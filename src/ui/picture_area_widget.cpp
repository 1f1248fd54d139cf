// SPDX-License-Identifier: MIT
#include "ui/picture_area_widget.h"

#include "ui/focus_ring.h"
#include "ui/qt_conversions.h"

#include <QFocusEvent>
#include <QPainter>

namespace velmora {

PictureAreaWidget::PictureAreaWidget(const ControlRecord& record, QImage picture, QWidget* parent)
    : QWidget(parent), picture_(std::move(picture)), back_(toQColor(record.effectiveBackColor())) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureAreaWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    // Sunken frame: shadow on the top and left, light on the bottom and right.
    const QRect r = rect();
    painter.fillRect(r, toQColor(systemColor(SystemColor::ButtonShadow)));
    painter.fillRect(QRect(r.left() + 1, r.top() + 1, r.width() - 1, r.height() - 1),
                     toQColor(systemColor(SystemColor::ButtonHighlight)));
    painter.fillRect(QRect(r.left() + 1, r.top() + 1, r.width() - 2, r.height() - 2),
                     toQColor(systemColor(SystemColor::WindowFrame)));
    painter.fillRect(QRect(r.left() + 2, r.top() + 2, r.width() - 3, r.height() - 3),
                     toQColor(systemColor(SystemColor::ButtonFace)));

    const QRect inner = innerRect();
    painter.fillRect(inner, back_);
    if (!picture_.isNull()) {
        painter.setClipRect(inner & event->rect());
        painter.drawImage(inner.topLeft(), picture_);
    }
    if (focusRing_ && hasFocus()) drawFocusRing(painter, inner);
}

namespace {

// The focus comes back, or goes, with the window's activation: the ring stays as it was. The
// first focus arrives this way too when the window was not active yet as it took it.
bool followsActivation(const QFocusEvent* event) {
    return event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
}

} // namespace

void PictureAreaWidget::focusInEvent(QFocusEvent* event) {
    // Only a focus that came from the keyboard shows the ring; a focus set by the program
    // after a keyboard action arrives as a tab focus on purpose.
    if (!followsActivation(event))
        focusRing_ = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
                     event->reason() == Qt::ShortcutFocusReason;
    update();
    QWidget::focusInEvent(event);
}

void PictureAreaWidget::focusOutEvent(QFocusEvent* event) {
    if (!followsActivation(event)) focusRing_ = false;
    update();
    QWidget::focusOutEvent(event);
}

} // namespace velmora
