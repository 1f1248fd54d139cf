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
 * Keys, while the area has the focus: Space or Enter activates it (a held key once), the arrow
 * keys ask to move (a fine step with Shift) and Escape asks to put down; what that means is the
 * lesson's business. A focus ring shows while the area has a focus that the
 * keyboard gave it, or the program on the keyboard's behalf.
 */
class PictureAreaWidget final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrameWidth = kPictureAreaFrameWidth;

    PictureAreaWidget(const ControlRecord& record, QImage picture, QWidget* parent);

    // Whether activating the area (click, Space, Enter) does something; set by the window.
    bool isActivatable() const { return activatable_; }
    void setActivatable(bool activatable) { activatable_ = activatable; }

    // The pointer gave the area the focus, though Qt tells it later as the window's activation:
    // no ring until a key is used.
    void hideFocusRing() {
        focusRing_ = false;
        update();
    }

    // The area inside the frame, in the widget's coordinates.
    QRect innerRect() const { return rect().adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth); }

signals:
    void activated();
    void moveRequested(velmora::Direction direction, bool fine);
    void cancelRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QImage picture_;
    QColor back_;
    bool focusRing_ = true; // the program gives the first focus on the keyboard's behalf
    bool activatable_ = false;
};

} // namespace velmora
