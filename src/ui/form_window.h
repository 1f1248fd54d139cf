#pragma once

#include "model/form_model.h"
#include "reaction/form1_events.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace velmora {

class DragOutline;
class SceneImages;

/*
 * The window of Form1. It owns the form model, shows exactly what the model says (one child
 * widget per control, in the model's stacking order), and turns clicks and the drag of the
 * substrate into events raised through Form1's event tables. It holds no reaction logic.
 */
class FormWindow final : public QWidget {
    Q_OBJECT
public:
    explicit FormWindow(const SceneImages& images, QWidget* parent = nullptr);
    ~FormWindow() override;

    FormModel& model() { return model_; }

    // The widget that shows the named control, or nullptr.
    QWidget* controlWidget(std::string_view name) const;
    // The visible control under `point` (window coordinates), topmost first; nullptr for the form.
    Control* controlAt(QPoint point);

    bool dragInProgress() const { return drag_.has_value(); }
    bool keyboardDragInProgress() const { return drag_ && drag_->byKeyboard; }
    const DragOutline* dragOutline() const { return outline_.get(); }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Drag {
        Control* source;
        QWidget* widget; // the source's widget, whose size the outline takes
        QPoint grab;     // where the source was grabbed, in its own coordinates
        bool byKeyboard;
    };

    void createControls(const SceneImages& images);
    void setUpTabOrder();
    Status showVisibility(const Control& control);
    void setUpAccessibility();
    void raiseEvent(const Control* control, FormEvent event, const EventArgs& args = {});
    void beginDrag(Control& source, QPoint grab, bool byKeyboard);
    void moveDrag(QPoint global);
    void endDrag(QPoint global);
    void dropAt(const Drag& drag, QPoint point);
    void cancelDrag();
    void activateByKeyboard(Control& control);
    void moveKeyboardDrag(QPoint delta);
    void focusFirstShownDuringLastEvent();
    void focusPushButton();

    FormModel model_;
    Form1Events events_;
    std::vector<std::pair<Control*, QWidget*>> widgets_; // stacking order, top first
    std::unique_ptr<DragOutline> outline_;
    std::optional<Drag> drag_;
    std::vector<const Control*> shownDuringEvent_;
    bool shownOnce_ = false;
};

} // namespace velmora
