// SPDX-License-Identifier: MIT
#include "reaction/lesson_session.h"

#include "reaction/lesson_texts.h"
#include "runtime/error_handling.h"

#include <algorithm>
#include <utility>

namespace velmora {
namespace {

// What is announced after an event, from where the lesson stood before and after it, and the cue
// that sounds with it. A drop that changed nothing missed; any other event that changed nothing
// announces nothing.
std::optional<std::pair<Announcement, Cue>> announcementAfter(Stage before, Stage after, FormEvent event) {
    if (before == after) {
        if (event == FormEvent::DragDrop) return std::pair{Announcement::Missed, Cue::PutBack};
        return std::nullopt;
    }
    switch (after) {
    case Stage::Bound: return std::pair{Announcement::Bound, Cue::Bound};
    case Stage::Released: return std::pair{Announcement::Released, Cue::Released};
    case Stage::Apart: return std::pair{Announcement::Reset, Cue::Reset};
    case Stage::Other: break;
    }
    return std::nullopt;
}

} // namespace

LessonSession::LessonSession(Language language, VisibilityListener show)
    : language_(std::move(language)), events_(form_), show_(std::move(show)),
      client_(clientRectOf(form_.description())) {
    form_.setVisibilityListener([this](const Control& control) {
        const Status status = show_ ? show_(control) : kStatusOk;
        if (!failed(status) && control.visible()) shownDuringEvent_.push_back(&control);
        return status;
    });
    focus_ = firstFocus();
}

std::vector<const Control*> LessonSession::readingOrder() const {
    std::vector<const Control*> order;
    for (const Control& control : form_.controls()) order.push_back(&control);
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->record().tabIndex < b->record().tabIndex; });
    return order;
}

std::vector<const Control*> LessonSession::tabOrder() const {
    std::vector<const Control*> order = readingOrder();
    std::erase_if(order, [](const Control* control) { return !control->record().canTakeFocus(); });
    return order;
}

const Control* LessonSession::firstFocus() const {
    for (const Control* control : tabOrder())
        if (control->visible()) return control;
    return nullptr;
}

std::string_view LessonSession::stageSentence() const { return stageText(language_, stageOf(form_)); }

bool LessonSession::clickable(const Control& control) const {
    return events_.handles(control.name(), FormEvent::Click);
}

std::optional<PixelRect> LessonSession::outline() const {
    if (drag_) return drag_->outline;
    if (hold_) return hold_->outline();
    return std::nullopt;
}

Accessibility LessonSession::accessibility(const Control& control) const {
    const ControlText text = controlText(language_, control.name());
    if (control.kind() == ControlKind::Label) return {ControlRole::Heading, text.name, text.description, {}};
    if (control.kind() == ControlKind::PushButton || clickable(control))
        return {ControlRole::Button, text.name, text.description, pressActionText(language_)};
    return {ControlRole::Image, text.name, text.description,
            control.record().autoDrag ? pickUpActionText(language_) : ""};
}

LessonStep LessonSession::step(std::string say, std::optional<Cue> cue) const {
    LessonStep out;
    out.outline = outline();
    out.say = std::move(say);
    out.voice = out.say;
    out.cue = cue;
    if (mainPressed_ != nullptr && pressedOver_ && mainPressed_->kind() == ControlKind::PushButton)
        out.pressed = mainPressed_;
    if (spaceOn_ != nullptr) out.pressed = spaceOn_;
    out.stage = stageSentence();
    return out;
}

LessonStep LessonSession::pointerPressed(PointerId id, PixelPoint point, bool secondOfDoubleClick) {
    if (ended_ || (pointer_ && *pointer_ != id)) return step();
    // A pointer plays from a press that starts a drag or a click; one that starts neither (a palm
    // resting on the form, a finger on a picture that does nothing) keeps no other from playing.
    pointer_.reset();
    mainPressed_ = nullptr;
    Control* target = controlAt(form_, point, client_);
    if (target == nullptr) return step();
    if (target->record().autoDrag) {
        // The drag starts at once and the control gets no click; a pointer takes over from the keys.
        endHold();
        const PixelRect rect = pixelRectOf(*target);
        drag_ = PointerDrag{target, {point.x - rect.x, point.y - rect.y}, rect, false};
        pointer_ = id;
        return step({}, Cue::PickUp);
    }
    // The second press of a double-click is no click on a picture, but a push button takes it as one.
    if (!clickable(*target) || (secondOfDoubleClick && target->kind() != ControlKind::PushButton)) return step();
    pointer_ = id;
    mainPressed_ = target;
    pressedOver_ = true;
    return step();
}

LessonStep LessonSession::pointerMoved(PointerId id, PixelPoint point) {
    if (pointer_ != id) return step();
    if (mainPressed_ != nullptr) pressedOver_ = controlAt(form_, point, client_) == mainPressed_;
    if (!drag_) return step();
    drag_->outline.x = point.x - drag_->grab.x;
    drag_->outline.y = point.y - drag_->grab.y;
    // The pointer drops where it is: it sounds as it comes over the enzyme, not as it leaves.
    const Control* target = dropTarget();
    const bool wasOver =
        std::exchange(drag_->overTarget, target != nullptr && controlAt(form_, point, client_) == target);
    return step({}, drag_->overTarget && !wasOver ? std::optional(Cue::OverTarget) : std::nullopt);
}

LessonStep LessonSession::pointerReleased(PointerId id, PixelPoint point) {
    if (pointer_ != id) return step();
    pointer_.reset();
    if (drag_) {
        Control* source = drag_->source;
        drag_.reset();
        return dropAt(*source, point);
    }
    Control* pressed = std::exchange(mainPressed_, nullptr);
    if (pressed != nullptr && controlAt(form_, point, client_) == pressed && clickable(*pressed))
        return raise(pressed, FormEvent::Click, {});
    return step();
}

LessonStep LessonSession::pointerCancelled(PointerId id) {
    if (pointer_ != id) return step();
    pointer_.reset();
    mainPressed_ = nullptr;
    if (!drag_) return step();
    drag_.reset();
    return step(std::string(announcementText(language_, Announcement::Cancelled)), Cue::PutBack);
}

LessonStep LessonSession::key(const KeyInput& input) {
    if (ended_ || input.key == Key::Other) return step();
    // Tab out of a form that is one part of a larger page is the platform's to move on.
    const bool leaves = input.key == Key::Tab && input.down && tabLeavesForm(input.shift);
    LessonStep out = input.down ? keyPressed(input) : keyReleased(input);
    out.handled = !leaves;
    return out;
}

std::vector<const Control*> LessonSession::shownInTabOrder() const {
    std::vector<const Control*> shown = tabOrder();
    std::erase_if(shown, [](const Control* control) { return !control->visible(); });
    return shown;
}

bool LessonSession::tabLeavesForm(bool backwards) const {
    if (!focusLeavesAtEnds_) return false;
    const std::vector<const Control*> shown = shownInTabOrder();
    if (shown.empty()) return true;
    const bool atEnd = focus_ == (backwards ? shown.front() : shown.back());
    return atEnd || std::find(shown.begin(), shown.end(), focus_) == shown.end();
}

LessonStep LessonSession::keyPressed(const KeyInput& input) {
    // A press continues a hold when the key is already down, when it says it repeats, or when it
    // comes at the very time of the key's last release: the window system's repeat, sent as a
    // release and a press with one time and not always marked.
    const auto held = keysDown_.find(input.key);
    const bool atRelease = input.time != 0 && lastRelease_.key == input.key && lastRelease_.time == input.time;
    const bool repeat = input.markedRepeat || held != keysDown_.end() || atRelease;
    const Control* owner = held != keysDown_.end() ? held->second.owner
                           : atRelease             ? lastRelease_.owner
                           : repeat                ? nullptr // held since before the window had the keys
                                                   : focus_;
    keysDown_[input.key] = {owner};
    if (atRelease) lastRelease_ = {};
    // Tab held goes on through the controls.
    if (input.key == Key::Tab) return tab(input.shift);
    // A key held since before this control took the focus does nothing here.
    if (repeat && owner != focus_) return step();
    switch (input.key) {
    case Key::Left: return moveHold(Direction::Left, input.shift);
    case Key::Right: return moveHold(Direction::Right, input.shift);
    case Key::Up: return moveHold(Direction::Up, input.shift);
    case Key::Down: return moveHold(Direction::Down, input.shift);
    default: break;
    }
    // Activating, giving up and asking happen once a press, however long the key is held.
    if (repeat) return step();
    if (input.key == Key::Escape) return giveUp();
    if (input.key == Key::WhereAmI) return whereAmI();
    if (focus_ == nullptr) return step();
    if (input.key == Key::Space && focus_->kind() == ControlKind::PushButton && focus_->visible()) {
        // A push button clicks as Space comes up, and looks pressed until then.
        spaceOn_ = focus_;
        return step();
    }
    return activate(*focus_);
}

LessonStep LessonSession::keyReleased(const KeyInput& input) {
    if (input.markedRepeat) return step();
    const auto held = keysDown_.find(input.key);
    const Control* owner = held != keysDown_.end() ? held->second.owner : nullptr;
    if (held != keysDown_.end()) keysDown_.erase(held);
    lastRelease_ = {input.key, input.time, owner};
    if (input.key != Key::Space || spaceOn_ == nullptr) return step();
    const Control* button = std::exchange(spaceOn_, nullptr);
    if (button != focus_ || owner != button) return step();
    return activate(*button);
}

LessonStep LessonSession::tab(bool backwards) {
    const std::vector<const Control*> shown = shownInTabOrder();
    if (shown.empty() || tabLeavesForm(backwards)) return step();
    const auto at = std::find(shown.begin(), shown.end(), focus_);
    const std::size_t n = shown.size();
    std::size_t next = backwards ? n - 1 : 0;
    if (at != shown.end()) {
        const auto i = static_cast<std::size_t>(at - shown.begin());
        next = backwards ? (i + n - 1) % n : (i + 1) % n;
    }
    LessonStep out = focusMoved(shown[next]);
    out.focus = shown[next];
    // The voice names the control the keys brought the focus to, unless the move said more.
    if (out.voice.empty()) {
        const Accessibility about = accessibility(*out.focus);
        out.voice = about.description.empty() ? std::string(about.name)
                                              : std::string(about.name) + ". " + std::string(about.description);
    }
    return out;
}

LessonStep LessonSession::activate(const Control& which) {
    Control* control = form_.find(which.name());
    if (ended_ || control == nullptr || !control->visible()) return step();
    if (!control->record().autoDrag) return raise(control, FormEvent::Click, {});
    if (drag_) return step(); // the pointer has it
    if (!hold_) {
        // Picked up: the outline starts over the control, and its centre is where it drops.
        const Control* target = dropTarget();
        if (target == nullptr) return step();
        hold_.emplace(language_, pixelRectOf(*control), pixelRectOf(*target), client_.width, client_.height);
        holdSource_ = control;
        return step(pickedUpText(language_, hold_->towardsTarget()), Cue::PickUp);
    }
    const PixelPoint at = hold_->dropPoint();
    Control* source = holdSource_;
    endHold();
    return dropAt(*source, at);
}

LessonStep LessonSession::moveHold(Direction direction, bool fine) {
    if (!hold_) return step();
    const int size = fine ? KeyboardHold::kFineStep : KeyboardHold::kStep;
    const int dx = direction == Direction::Left ? -size : direction == Direction::Right ? size : 0;
    const int dy = direction == Direction::Up ? -size : direction == Direction::Down ? size : 0;
    std::optional<std::string> said = hold_->moveBy(dx, dy);
    if (!said) return step();
    return step(std::move(*said), hold_->overTarget() ? std::optional(Cue::OverTarget) : std::nullopt);
}

LessonStep LessonSession::giveUp() {
    // A pointer's drag ends here too: its outline goes, and its release later drops nothing.
    if (!drag_ && !hold_) return step();
    drag_.reset();
    endHold();
    return step(std::string(announcementText(language_, Announcement::Cancelled)), Cue::PutBack);
}

LessonStep LessonSession::whereAmI() {
    if (ended_) return step();
    if (hold_) return step(holdingText(language_, hold_->towardsTarget()));
    return step(std::string(stageText(language_, stageOf(form_))));
}

LessonStep LessonSession::focusMoved(const Control* control) {
    focus_ = control;
    if (spaceOn_ != control) spaceOn_ = nullptr;
    if (!hold_ || control == holdSource_) return step();
    return giveUp();
}

LessonStep LessonSession::windowDeactivated() {
    // What happens elsewhere is not the lesson's: nothing held stays held.
    mainPressed_ = nullptr;
    pointer_.reset();
    keysDown_.clear();
    lastRelease_ = {};
    spaceOn_ = nullptr;
    return giveUp();
}

LessonStep LessonSession::resized(int width, int height) {
    client_ = {0, 0, width, height};
    if (!hold_) return step();
    return step(hold_->resizeClient(width, height).value_or(std::string()));
}

void LessonSession::endHold() {
    hold_.reset();
    holdSource_ = nullptr;
}

const Control* LessonSession::dropTarget() const {
    for (const Control& control : form_.controls())
        if (control.visible() && events_.handles(control.name(), FormEvent::DragDrop)) return &control;
    return nullptr;
}

LessonStep LessonSession::dropAt(Control& source, PixelPoint point) {
    Control* target = controlAt(form_, point, client_);
    return raise(target, FormEvent::DragDrop, dropArguments(source, target, point));
}

LessonStep LessonSession::raise(Control* control, FormEvent event, const EventArgs& args) {
    shownDuringEvent_.clear();
    const Stage before = stageOf(form_);
    std::optional<RunTimeError> failure;
    {
        const ScopedErrorReporter reporter([&failure](const RunTimeError& error) {
            if (!failure) failure = error;
        });
        (void)events_.raise(form_, control ? std::string_view(control->name()) : std::string_view(), event, args);
    }
    if (failure) {
        ended_ = true;
        drag_.reset();
        endHold();
        mainPressed_ = nullptr;
        spaceOn_ = nullptr;
        LessonStep out = step();
        out.error = std::move(failure);
        return out;
    }
    const Stage after = stageOf(form_);
    const auto said = announcementAfter(before, after, event);
    LessonStep out = said ? step(std::string(announcementText(language_, said->first)), said->second) : step();
    if (before != after) {
        out.focus = focusAfter(event);
        if (out.focus != nullptr) focus_ = out.focus;
    }
    return out;
}

const Control* LessonSession::focusAfter(FormEvent event) const {
    // A drop that binds leads the focus to what it made, wherever the focus was, so the next
    // step is one key away for every hand.
    if (event == FormEvent::DragDrop) {
        for (const Control* control : shownDuringEvent_)
            if (control->visible() && control->record().canTakeFocus()) return control;
    }
    // Any other change keeps a focus on a control that still shows; one that the change took away
    // (or a focus on nothing of the form) goes on to the push button, Reset.
    if (focus_ != nullptr && focus_->visible()) return nullptr;
    for (const Control* control : tabOrder())
        if (control->kind() == ControlKind::PushButton && control->visible()) return control;
    return firstFocus();
}

} // namespace velmora
