#pragma once

#include <QWidget>

namespace velmora {

// The outline that follows the pointer during a drag: a ring the size of the dragged control.
// It is masked to its ring, so moving it repaints only the strips it leaves and covers, and it
// lets every mouse event through.
class DragOutline final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kThickness = 2;
    explicit DragOutline(QWidget* parent);

    // Shows the outline with the given geometry in the parent's coordinates.
    void showAt(const QRect& geometry);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velmora
