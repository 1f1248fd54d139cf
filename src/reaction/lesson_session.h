// SPDX-License-Identifier: MIT
#pragma once

#include "language/language.h"
#include "model/form_model.h"
#include "model/run_time_error.h"
#include "reaction/feedback.h"
#include "reaction/form1_events.h"
#include "reaction/form_geometry.h"
#include "reaction/keyboard_hold.h"
#include "reaction/stage.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// An arrow key while the substrate is held from the keyboard.
enum class Direction : std::uint8_t { Left, Right, Up, Down };

// The keys the lesson answers; every other key is Other. WhereAmI is the key that asks where the
// lesson stands (F1 on the desktop).
enum class Key : std::uint8_t { Tab, Space, Enter, Escape, Left, Right, Up, Down, WhereAmI, Other };

// One key press or release, as the platform gave it.
struct KeyInput {
    Key key = Key::Other;
    bool down = true;          // pressed (true) or released (false)
    bool shift = false;        // Shift held
    bool markedRepeat = false; // the platform marked it as an automatic repeat
    std::uint64_t time = 0;    // the platform's timestamp in ms; 0 where it gives none
};

// A pointer: the mouse is one; each finger or pen is its own.
using PointerId = std::int64_t;

// What a control is to assistive technology.
enum class ControlRole : std::uint8_t { Heading, Image, Button };

// A control's accessible role, name, description and the name of its default action (empty: it
// has none), in the lesson's language.
struct Accessibility {
    ControlRole role = ControlRole::Image;
    std::string_view name;
    std::string_view description;
    std::string_view action;
};

/*
 * Everything a presentation must do after one input, besides hiding and showing controls (which
 * it has already done, told by the model's change notice while the handler ran).
 */
struct LessonStep {
    // Where the drag outline is now, in client pixels; none when no drag is under way.
    std::optional<PixelRect> outline;
    // The sentence to say aloud; empty when there is nothing to say.
    std::string say;
    // What the program's own voice says, where it is on: `say`, or when Tab or Shift+Tab moved
    // the focus and nothing else is said, the control's name and description. Empty: nothing;
    // anything else cuts off a sentence still being spoken.
    std::string voice;
    // The sound this step makes, where sounds are on: none for a step a pupil need not hear.
    std::optional<Cue> cue;
    // The control the keyboard focus moves to; nullptr when it stays where it is.
    const Control* focus = nullptr;
    // The control that looks pressed (the main button is down on it and the pointer over it).
    const Control* pressed = nullptr;
    // Where the lesson stands, in one or two sentences, for the window's description.
    std::string_view stage;
    // The run-time error that ended the lesson in this step; once ended, every input is a no-op.
    // The only route by which a presentation learns of it.
    std::optional<RunTimeError> error;
    // The session took the key: the presentation must not also do its platform's default for it.
    bool handled = false;
};

/*
 * One lesson: Form1, its event tables, and every rule of how a pupil plays it, for any
 * presentation. A presentation turns its native events into the inputs below, in the form's
 * client pixels, and applies what each returns. It hides and shows controls when the model's
 * change notice (the listener given here) tells it to, and a failing listener fails the
 * handler's step as a run-time error. The session decides what a gesture raises, where a drop
 * lands, where the keyboard focus goes and what is said.
 *
 * A run-time error comes back in the step's `error` and nowhere else; the presentation shows it.
 * After an error the lesson has ended and every input returns an empty step.
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
    // The model itself: for presentations, which clear its listener as they close, and for tests
    // and the fault sweeps, which put it into a state or wrap the listener.
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

    // What assistive technology is told about `control`: its role, name, description and default
    // action. The substrate is an image whose action picks it up; the complex, an image that
    // acts as a button, is a button.
    Accessibility accessibility(const Control& control) const;

    // Pointer `id`'s main button (or a finger or pen) went down at `point`. Only the first pointer
    // down while no other plays is followed; the others are ignored until it ends. On a control
    // that drags automatically the drag starts at once. `secondOfDoubleClick` for the second press
    // of a double-click, which is no click on a picture area.
    LessonStep pointerPressed(PointerId id, PixelPoint point, bool secondOfDoubleClick = false);
    LessonStep pointerMoved(PointerId id, PixelPoint point);
    // The main button came up: a drag drops on the visible control under `point` (nothing, outside
    // the client area); a press and release on the same control is a click on it.
    LessonStep pointerReleased(PointerId id, PixelPoint point);
    // The pointer was taken away without a release: nothing is dropped or clicked.
    LessonStep pointerCancelled(PointerId id);

    // A key went down or up. The control with the focus acts: Tab and Shift+Tab move the focus
    // through the shown controls (wrapping, unless the focus leaves at the ends), Space and Enter activate (Space on a
    // push button clicks as it comes up, Enter as it goes down), the arrows move a hold (Shift: a fine step), Escape
    // gives up any drag or hold, WhereAmI says where the lesson stands. A repeat (marked, or a press at the very time
    // of the same key's release) activates nothing and acts only on the control the key first went down on.
    LessonStep key(const KeyInput& input);
    // For a form that is one part of a larger page: Tab from its last shown control, Shift+Tab
    // from its first, and either from outside the form, are left to the platform, which moves
    // the focus on out of (or into) the form; within it the focus still goes as the session says.
    void letFocusLeaveAtEnds() { focusLeavesAtEnds_ = true; }

    // A screen reader's default action on `control`, as Space or Enter: a click on it, or on the
    // control that drags, a pick-up and, held, a drop where the outline's centre is.
    LessonStep activate(const Control& control);
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
        bool overTarget; // the pointer is over the control it would drop on
    };

    // A key's press: the control it went down on (nullptr: none of the form's).
    struct HeldKey {
        const Control* owner = nullptr;
    };
    struct Release {
        Key key = Key::Other;
        std::uint64_t time = 0;
        const Control* owner = nullptr;
    };

    LessonStep step(std::string say = {}, std::optional<Cue> cue = std::nullopt) const;
    LessonStep keyPressed(const KeyInput& input);
    LessonStep keyReleased(const KeyInput& input);
    LessonStep tab(bool backwards);
    std::vector<const Control*> shownInTabOrder() const;
    bool tabLeavesForm(bool backwards) const;
    LessonStep moveHold(Direction direction, bool fine);
    LessonStep giveUp();
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
    std::optional<PointerId> pointer_; // the pointer that plays, from its press to its release
    Control* mainPressed_ = nullptr;   // where the main button went down, for a click
    bool pressedOver_ = false;         // ... and whether the pointer is over it now
    const Control* focus_ = nullptr;
    std::map<Key, HeldKey> keysDown_;
    Release lastRelease_;
    const Control* spaceOn_ = nullptr; // the push button Space went down on, clicked as it comes up
    std::vector<const Control*> shownDuringEvent_;
    bool ended_ = false;
    bool focusLeavesAtEnds_ = false;
};

} // namespace velmora
