// SPDX-License-Identifier: MIT
#pragma once

#include "language/language.h"
#include "model/form_model.h"
#include "model/run_time_error.h"
#include "reaction/form1_events.h"
#include "reaction/form_geometry.h"
#include "reaction/keyboard_hold.h"
#include "reaction/stage.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// An arrow key while the substrate is held from the keyboard.
enum class Direction : std::uint8_t { Left, Right, Up, Down };

/*
 * Everything a presentation must do after one input, besides hiding and showing controls (which
 * it has already done, told by the model's change notice while the handler ran).
 */
struct LessonStep {
    // Where the drag outline is now, in client pixels; none when no drag is under way.
    std::optional<PixelRect> outline;
    // The sentence to say aloud; empty when there is nothing to say.
    std::string say;
    // The control the keyboard focus moves to; nullptr when it stays where it is.
    const Control* focus = nullptr;
    // The control that looks pressed (the main button is down on it and the pointer over it).
    const Control* pressed = nullptr;
    // Where the lesson stands, in one or two sentences, for the window's description.
    std::string_view stage;
    // The run-time error that ended the lesson in this step; once ended, every input is a no-op.
    std::optional<RunTimeError> error;
};

/*
 * One lesson: Form1, its event tables, and every rule of how a pupil plays it, for any
 * presentation. A presentation turns its native events into the inputs below, in the form's
 * client pixels, and applies what each returns. It hides and shows controls when the model's
 * change notice (the listener given here) tells it to, and a failing listener fails the
 * handler's step as a run-time error. The session decides what a gesture raises, where a drop
 * lands, where the keyboard focus goes and what is said.
 *
 * Run-time errors are also passed on to the reporter installed by the program (its error box),
 * if there is one; the returned step carries the error either way. After an error the lesson has
 * ended and every input returns an empty step.
 */
class LessonSession final {
public:
    // Every sentence is in `language`. `show` hides or shows the control after its visible flag
    // changed; a failure status (or an exception) refuses the change.
    LessonSession(Language language, VisibilityListener show);
    LessonSession(const LessonSession&) = delete;
    LessonSession& operator=(const LessonSession&) = delete;

    const FormModel& form() const { return form_; }
    // The language the lesson speaks, for the presentation's own words.
    const Language& language() const { return language_; }
    // For tests and the fault sweeps, which put the model into a state or wrap the listener.
    FormModel& model() { return form_; }

    // Every control in tab-index order, the order in which a screen reader reads them.
    std::vector<const Control*> readingOrder() const;
    // The controls that can take the keyboard focus, in tab order (hidden ones included: they
    // are skipped while hidden).
    std::vector<const Control*> tabOrder() const;
    // The control the focus starts on: the first shown one in tab order.
    const Control* firstFocus() const;
    // Where the lesson stands, in one or two sentences: the window's description (every step
    // carries it too).
    std::string_view stageSentence() const;
    // Whether a click, Space or Enter on `control` raises an event (the complex and Reset do).
    bool clickable(const Control& control) const;

    // The main button (or a finger or pen) went down at `point`: on a control that drags
    // automatically the drag starts at once. `secondOfDoubleClick` for the second press of a
    // double-click, which is no click on a picture area.
    LessonStep pointerPressed(PixelPoint point, bool secondOfDoubleClick = false);
    LessonStep pointerMoved(PixelPoint point);
    // The main button came up: a drag drops on the visible control under `point`; a press and
    // release on the same control is a click on it.
    LessonStep pointerReleased(PixelPoint point);
    // The pointer was taken away without a release: nothing is dropped or clicked.
    LessonStep pointerCancelled();

    // Space or Enter on `control` (or a screen reader's default action): a click on it, or on
    // the control that drags, a pick-up and, held, a drop where the outline's centre is.
    LessonStep activate(const Control& control);
    // An arrow key while the substrate is held: one step, or a fine one.
    LessonStep moveHold(Direction direction, bool fine);
    // Escape while the substrate is held: put back, nothing dropped.
    LessonStep putDown();
    // Where the lesson stands and what to do next (while holding: where the enzyme lies).
    LessonStep whereAmI();

    // The keyboard focus moved to `control` (nullptr: to nothing of the form) by the pupil or
    // the platform. A hold loses its substrate when the focus leaves it.
    LessonStep focusMoved(const Control* control);
    // The window lost the keyboard and the pointer to another: every drag is given up.
    LessonStep windowDeactivated();
    // The client area is now `width` by `height` pixels; a held outline stays inside it.
    LessonStep resized(int width, int height);

    bool dragging() const { return drag_.has_value(); }
    bool holding() const { return hold_.has_value(); }
    bool ended() const { return ended_; }
    const Control* focused() const { return focus_; }
    std::optional<PixelRect> outline() const;

private:
    struct PointerDrag {
        Control* source;
        PixelPoint grab; // where it was grabbed, in the source's own pixels
        PixelRect outline;
    };

    LessonStep step(std::string say = {}) const;
    LessonStep raise(Control* control, FormEvent event, const EventArgs& args);
    LessonStep dropAt(Control& source, PixelPoint point);
    void endHold();
    const Control* dropTarget() const;
    const Control* focusAfter(FormEvent event) const;

    Language language_;
    FormModel form_;
    Form1Events events_;
    VisibilityListener show_;
    PixelRect client_;
    std::optional<PointerDrag> drag_;
    std::optional<KeyboardHold> hold_;
    Control* holdSource_ = nullptr;
    Control* mainPressed_ = nullptr; // where the main button went down, for a click
    bool pressedOver_ = false;       // ... and whether the pointer is over it now
    const Control* focus_ = nullptr;
    std::vector<const Control*> shownDuringEvent_;
    bool ended_ = false;
};

} // namespace velmora
