#pragma once

#include "model/control_record.h"

#include <QImage>
#include <QWidget>

namespace velmora {

/*
 * A picture area: a sunken frame, its back colour inside, and its scene picture at the inner
 * top-left corner, one picture pixel per screen pixel, clipped at the inner edges.
 *
 * Gestures with the main mouse button: an area that drags automatically starts a drag on the
 * press (and never reports a click); any other area reports a click when the button goes down
 * and comes up over it. A double-click is not a second click.
 *
 * Keys, while the area has the focus: Space or Enter activates it, the arrow keys ask to move
 * (10 pixels, 1 with Shift) and Escape asks to cancel; what that means is the window's business.
 * A focus ring shows while the area has a focus that the keyboard gave it.
 */
class PictureAreaWidget final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrameWidth = 2;

    PictureAreaWidget(const ControlRecord& record, QImage picture, QWidget* parent);

    // Whether activating the area (click, Space, Enter) does something; set by the window.
    bool isActivatable() const { return activatable_; }
    void setActivatable(bool activatable) { activatable_ = activatable; }

    // The area inside the frame, in the widget's coordinates.
    QRect innerRect() const { return rect().adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth); }

signals:
    void clicked();
    // `grab` is where the button went down, in this widget's coordinates.
    void dragStarted(QPoint grab);
    // Pointer positions in global screen coordinates.
    void dragMoved(QPoint global);
    void dragEnded(QPoint global);
    void activated();
    void moveRequested(QPoint delta);
    void cancelRequested();
    void focusLost();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QImage picture_;
    QColor back_;
    bool autoDrag_;
    bool pressed_ = false;
    bool focusRing_ = false;
    bool activatable_ = false;
};

} // namespace velmora
