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
 */
class PictureAreaWidget final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrameWidth = 2;

    PictureAreaWidget(const ControlRecord& record, QImage picture, QWidget* parent);

    // The area inside the frame, in the widget's coordinates.
    QRect innerRect() const { return rect().adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth); }

signals:
    void clicked();
    // `grab` is where the button went down, in this widget's coordinates.
    void dragStarted(QPoint grab);
    // Pointer positions in global screen coordinates.
    void dragMoved(QPoint global);
    void dragEnded(QPoint global);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    QColor back_;
    bool autoDrag_;
    bool pressed_ = false;
};

} // namespace velmora
