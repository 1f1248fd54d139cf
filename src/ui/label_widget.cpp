// SPDX-License-Identifier: MIT
#include "ui/label_widget.h"

#include "ui/qt_conversions.h"

#include <QPainter>

namespace velmora {

LabelWidget::LabelWidget(const ControlRecord& record, QString caption, QWidget* parent)
    : QWidget(parent), caption_(std::move(caption)), back_(toQColor(record.effectiveBackColor())),
      fore_(toQColor(record.effectiveForeColor())) {
    if (record.font) setFont(toQFont(*record.font));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LabelWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // A painter starts in the application's direction; the caption is written in the label's own.
    painter.setLayoutDirection(layoutDirection());
    painter.fillRect(rect(), back_);
    painter.setPen(fore_);
    painter.setClipRect(rect());
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignTop | Qt::TextSingleLine, caption_);
}

} // namespace velmora
