// SPDX-License-Identifier: MIT
#pragma once

#include "reaction/lesson_session.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

class QKeyEvent;
class QMouseEvent;

namespace velmora {

class Announcer;
class DragOutline;
class LessonAids;
class SceneImages;

/*
 * The window of Form1: a Qt presentation of one LessonSession. It shows exactly what the model
 * says (one child widget per control, in the model's stacking order, hidden and shown by the
 * model's change notice), turns Qt's mouse, key and focus events into the session's inputs, and
 * applies what each returns: the drag outline, the focus, the pressed look of Reset and the
 * sentence the announcer says. It decides nothing about the lesson.
 *
 * Mouse events count by where the main button is in the window, whichever widget Qt delivers
 * them to; other buttons do nothing in the lesson. A right click (pressed and released with no
 * other button, and no drag under way), Shift+F10 and the Menu key open the switches of the
 * program's own voice and sounds (LessonAids), which carry out each step's voice and cue. Every key goes to the session
 * as it comes, with X's own time (key_times.h); what the session takes, Qt does not also act on. A run-time error in a
 * step goes to the error report set here.
 */
class FormWindow final : public QWidget {
    Q_OBJECT
public:
    // The key that asks where the lesson stands and what to do next.
    static constexpr int kWhereAmIKey = Qt::Key_F1;
    // The one pointer id the mouse plays with.
    static constexpr PointerId kMousePointer = 0;

    FormWindow(Language language, const SceneImages& images, QWidget* parent = nullptr);
    ~FormWindow() override;

    FormModel& model() { return session_.model(); }
    const LessonSession& session() const { return session_; }

    // The widget that shows the named control, or nullptr.
    QWidget* controlWidget(std::string_view name) const;

    bool dragInProgress() const { return session_.dragging() || session_.holding(); }
    bool keyboardDragInProgress() const { return session_.holding(); }
    const DragOutline* dragOutline() const { return outline_.get(); }
    const Announcer* announcer() const { return announcer_; }
    // The program's own voice and sounds, and their switches.
    LessonAids& aids() { return *aids_; }
    // Where a run-time error of a step goes (the program's error box).
    void setErrorReport(std::function<void(const RunTimeError&)> report) { errorReport_ = std::move(report); }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void createControls(const SceneImages& images);
    void setUpAccessibility();
    const Control* controlOf(const QObject* widget) const;
    // Hands one input to the session and applies its answer. `reason` is how a focus move it
    // asks for is given: from the keys (showing the ring) or from the pointer.
    template <class Input>
    void play(Qt::FocusReason reason, Input&& input);
    void apply(const LessonStep& step, Qt::FocusReason reason);
    void routeMouse(QMouseEvent* event);
    bool playKey(QObject* receiver, QKeyEvent* event);
    // Opens the switches for a right click, Shift+F10 or the Menu key; true when `event` was one.
    bool offerSwitches(QEvent* event);

    LessonSession session_;
    std::vector<std::pair<const Control*, QWidget*>> widgets_; // stacking order, top first
    std::unique_ptr<DragOutline> outline_;
    Announcer* announcer_ = nullptr;
    LessonAids* aids_ = nullptr;
    const Control* pressedLook_ = nullptr;
    QPointer<QWidget> knownFocus_; // the control whose focus the window has last heard of
    std::function<void(const RunTimeError&)> errorReport_;
    bool keepFocus_ = false; // while the session runs, a control it hides keeps the focus
    bool shownOnce_ = false;
    bool rightClick_ = false; // the right button went down alone, and may yet make a right click
};

} // namespace velmora
