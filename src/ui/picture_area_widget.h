// SPDX-License-Identifier: MIT
#pragma once

#include "model/control_record.h"
#include "reaction/lesson_session.h"

#include <QImage>
#include <QWidget>

namespace velmora {

/*
 * A picture area: a sunken frame, its back colour inside, and its scene picture at the inner
 * top-left corner, one picture pixel per screen pixel, clipped at the inner edges.
 *
 * The mouse is the window's business: it routes every button by where it is in the window.
 *
 * Keys are the window's business too: it hands them to the lesson. A focus ring shows while the
 * area has a focus that the keyboard gave it, or the program on the keyboard's behalf, and once
 * a key is used on it. Its role and action for assistive technology are the lesson's; the action
 * emits activated().
 */
class PictureAreaWidget final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrameWidth = kPictureAreaFrameWidth;

    PictureAreaWidget(const ControlRecord& record, QImage picture, QWidget* parent);

    // What assistive technology is told about the area; set by the window.
    const Accessibility& accessibility() const { return accessibility_; }
    void setAccessibility(const Accessibility& accessibility) { accessibility_ = accessibility; }

    // The pointer gave the area the focus, though Qt tells it later as the window's activation:
    // no ring until a key is used.
    void hideFocusRing() {
        focusRing_ = false;
        update();
    }

    // A key was used on the area: its focus shows.
    void showFocusRing() {
        if (focusRing_) return;
        focusRing_ = true;
        update();
    }

    // The area inside the frame, in the widget's coordinates.
    QRect innerRect() const { return rect().adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth); }

signals:
    void activated();

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QImage picture_;
    QColor back_;
    bool focusRing_ = true; // the program gives the first focus on the keyboard's behalf
    Accessibility accessibility_;
};

} // namespace velmora
