// SPDX-License-Identifier: MIT
#include "ui/drag_outline.h"

#include <QPainter>

namespace velmora {
namespace {

constexpr const char* kStripName = "DragOutlineStrip";

QColor colour(Rgb rgb) { return {rgb.r, rgb.g, rgb.b}; }

// One side of the ring, in the lesson's outline look (drag_outline_look.h).
class OutlineStrip final : public QWidget {
public:
    explicit OutlineStrip(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
        setObjectName(QLatin1String(kStripName));
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), colour(kDragOutlineGrey));
        // Dashes follow the parent's coordinates, so the four sides join up into one pattern.
        const QPoint origin = pos();
        const bool across = width() >= height();
        const int start = across ? origin.x() : origin.y();
        const int length = across ? width() : height();
        constexpr int kPeriod = 2 * kDragOutlineDash;
        for (int at = (kPeriod - start % kPeriod) % kPeriod - kPeriod; at < length; at += kPeriod) {
            const QRect dash =
                across ? QRect(at, 0, kDragOutlineDash, height()) : QRect(0, at, width(), kDragOutlineDash);
            painter.fillRect(dash & rect(), colour(kDragOutlineDashColour));
        }
    }
};

} // namespace

DragOutline::DragOutline(QWidget* parent) {
    for (QWidget*& strip : strips_) strip = new OutlineStrip(parent);
}

bool DragOutline::isPart(const QWidget* widget) { return widget->objectName() == QLatin1String(kStripName); }

void DragOutline::showAt(const QRect& ring) {
    if (ring == ring_ && visible_) return;
    ring_ = ring;
    const int t = kThickness;
    strips_[0]->setGeometry(ring.left(), ring.top(), ring.width(), t);
    strips_[1]->setGeometry(ring.left(), ring.bottom() - t + 1, ring.width(), t);
    strips_[2]->setGeometry(ring.left(), ring.top() + t, t, ring.height() - 2 * t);
    strips_[3]->setGeometry(ring.right() - t + 1, ring.top() + t, t, ring.height() - 2 * t);
    if (!visible_) {
        visible_ = true;
        for (QWidget* strip : strips_) {
            strip->raise();
            strip->show();
        }
    }
}

void DragOutline::hide() {
    visible_ = false;
    for (QWidget* strip : strips_) strip->hide();
}

} // namespace velmora
