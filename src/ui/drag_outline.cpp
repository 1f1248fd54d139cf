// SPDX-License-Identifier: MIT
#include "ui/drag_outline.h"

#include <QPainter>

namespace velmora {
namespace {

constexpr const char* kStripName = "DragOutlineStrip";

// One side of the ring: grey with white dashes, visible on the black form, the white ground
// and the red substrate alike.
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
        painter.fillRect(rect(), QColor(128, 128, 128));
        // Dashes follow the parent's coordinates, so the four sides join up into one pattern.
        const QPoint origin = pos();
        const bool across = width() >= height();
        const int start = across ? origin.x() : origin.y();
        const int length = across ? width() : height();
        for (int at = (6 - start % 6) % 6 - 6; at < length; at += 6) {
            const QRect dash = across ? QRect(at, 0, 3, height()) : QRect(0, at, width(), 3);
            painter.fillRect(dash & rect(), Qt::white);
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
