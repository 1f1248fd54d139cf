// SPDX-License-Identifier: MIT
#pragma once

#include "model/form_model.h"
#include "reaction/form1_events.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class QKeyEvent;
class QMouseEvent;

namespace velmora {

class Announcer;
class KeyboardHold;
struct PixelRect;
class DragOutline;
class SceneImages;

/*
 * The window of Form1. It owns the form model, shows exactly what the model says (one child
 * widget per control, in the model's stacking order), and turns clicks and the drag of the
 * substrate into events raised through Form1's event tables. It holds no reaction logic.
 *
 * Mouse gestures are routed here, by where the main button went down and came up in the window,
 * whichever widget Qt delivers them to; other buttons do nothing. A key acts only on the control
 * it was first pressed on. After each event the announcer says what changed.
 */
class FormWindow final : public QWidget {
    Q_OBJECT
public:
    // The key that says where the lesson stands and what to do next.
    static constexpr int kWhereAmIKey = Qt::Key_F1;

    explicit FormWindow(const SceneImages& images, QWidget* parent = nullptr);
    ~FormWindow() override;

    FormModel& model() { return model_; }

    // The widget that shows the named control, or nullptr.
    QWidget* controlWidget(std::string_view name) const;
    // The visible control under `point` (window coordinates), topmost first; nullptr for the form.
    Control* controlAt(QPoint point);

    bool dragInProgress() const { return drag_.has_value(); }
    bool keyboardDragInProgress() const { return hold_ != nullptr; }
    const DragOutline* dragOutline() const { return outline_.get(); }
    const Announcer* announcer() const { return announcer_; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    struct Drag {
        Control* source;
        QWidget* widget; // the source's widget, whose size the outline takes
        QPoint grab;     // where the source was grabbed, in its own coordinates
    };

    void createControls(const SceneImages& images);
    void setUpTabOrder();
    Status showVisibility(const Control& control);
    void setUpAccessibility();
    void raiseEvent(const Control* control, FormEvent event, const EventArgs& args, Qt::FocusReason reason);
    void routeMouse(QMouseEvent* event);
    bool filterKey(QWidget* receiver, QKeyEvent* event);
    void dropAt(const Drag& drag, QPoint point, Qt::FocusReason reason);
    void cancelDrag();
    void putDownKeyboardHold();
    void activateByKeyboard(Control& control);
    void moveKeyboardDrag(QPoint delta);
    void showHold();
    // Where a held control drops to do something: the control with a drop handler.
    PixelRect dropTargetRect() const;
    void announceWhereAmI();
    void announce(const std::string& text);
    void refocusAfter(FormEvent event, Qt::FocusReason reason);
    bool focusFirstShownDuringLastEvent(Qt::FocusReason reason);
    bool focusPushButton(Qt::FocusReason reason);

    FormModel model_;
    Form1Events events_;
    std::vector<std::pair<Control*, QWidget*>> widgets_; // stacking order, top first
    std::unique_ptr<DragOutline> outline_;
    Announcer* announcer_ = nullptr;
    std::optional<Drag> drag_;
    std::unique_ptr<KeyboardHold> hold_;        // while the drag is the keyboard's
    Control* mainPressed_ = nullptr;            // where the main button went down, for a click
    std::map<int, QPointer<QWidget>> keysDown_; // each key held, and the widget its press went to
    struct Release {
        int key = 0;
        quint64 timestamp = 0;
        QPointer<QWidget> owner;
    } lastRelease_;
    bool forwardingKey_ = false;
    bool keepFocus_ = false; // while a handler runs, a control it hides keeps the focus
    std::vector<const Control*> shownDuringEvent_;
    bool shownOnce_ = false;
};

} // namespace velmora
