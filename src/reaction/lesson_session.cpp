// SPDX-License-Identifier: MIT
#include "reaction/lesson_session.h"

#include "reaction/lesson_texts.h"
#include "runtime/error_handling.h"

#include <algorithm>
#include <utility>

namespace velmora {
namespace {

// What is said after an event, from where the lesson stood before and after it. A drop that
// changed nothing is said to have missed; any other event that changed nothing says nothing.
std::string sentenceAfter(const Language& language, Stage before, Stage after, FormEvent event) {
    if (before == after)
        return event == FormEvent::DragDrop ? std::string(announcementText(language, Announcement::Missed)) : "";
    switch (after) {
    case Stage::Bound: return std::string(announcementText(language, Announcement::Bound));
    case Stage::Released: return std::string(announcementText(language, Announcement::Released));
    case Stage::Apart: return std::string(announcementText(language, Announcement::Reset));
    case Stage::Other: break;
    }
    return {};
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

LessonStep LessonSession::step(std::string say) const {
    LessonStep out;
    out.outline = outline();
    out.say = std::move(say);
    if (mainPressed_ != nullptr && pressedOver_ && mainPressed_->kind() == ControlKind::PushButton)
        out.pressed = mainPressed_;
    out.stage = stageSentence();
    return out;
}

LessonStep LessonSession::pointerPressed(PixelPoint point, bool secondOfDoubleClick) {
    mainPressed_ = nullptr;
    Control* target = ended_ ? nullptr : controlAt(form_, point);
    if (target == nullptr) return step();
    if (target->record().autoDrag) {
        // The drag starts at once and the control gets no click; a pointer takes over from the keys.
        endHold();
        const PixelRect rect = pixelRectOf(*target);
        drag_ = PointerDrag{target, {point.x - rect.x, point.y - rect.y}, rect};
        return step();
    }
    // The second press of a double-click is no click on a picture, but a push button takes it as one.
    if (secondOfDoubleClick && target->kind() != ControlKind::PushButton) return step();
    mainPressed_ = target;
    pressedOver_ = true;
    return step();
}

LessonStep LessonSession::pointerMoved(PixelPoint point) {
    if (drag_) {
        drag_->outline.x = point.x - drag_->grab.x;
        drag_->outline.y = point.y - drag_->grab.y;
    }
    if (mainPressed_ != nullptr) pressedOver_ = controlAt(form_, point) == mainPressed_;
    return step();
}

LessonStep LessonSession::pointerReleased(PixelPoint point) {
    if (drag_) {
        Control* source = drag_->source;
        drag_.reset();
        return dropAt(*source, point);
    }
    Control* pressed = std::exchange(mainPressed_, nullptr);
    if (pressed != nullptr && controlAt(form_, point) == pressed && clickable(*pressed))
        return raise(pressed, FormEvent::Click, {});
    return step();
}

LessonStep LessonSession::pointerCancelled() {
    mainPressed_ = nullptr;
    if (!drag_) return step();
    drag_.reset();
    return step(std::string(announcementText(language_, Announcement::Cancelled)));
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
        return step(pickedUpText(language_, hold_->towardsTarget()));
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
    return step(hold_->moveBy(dx, dy).value_or(std::string()));
}

LessonStep LessonSession::putDown() {
    if (!hold_) return step();
    endHold();
    return step(std::string(announcementText(language_, Announcement::Cancelled)));
}

LessonStep LessonSession::whereAmI() {
    if (ended_) return step();
    if (hold_) return step(holdingText(language_, hold_->towardsTarget()));
    return step(std::string(stageText(language_, stageOf(form_))));
}

LessonStep LessonSession::focusMoved(const Control* control) {
    focus_ = control;
    if (!hold_ || control == holdSource_) return step();
    return putDown();
}

LessonStep LessonSession::windowDeactivated() {
    // What happens elsewhere is not the lesson's: nothing held stays held.
    mainPressed_ = nullptr;
    if (!drag_ && !hold_) return step();
    drag_.reset();
    endHold();
    return step(std::string(announcementText(language_, Announcement::Cancelled)));
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
    Control* target = controlAt(form_, point);
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
        // The program's own report (its error box), where it has one.
        (void)detail::reportToInstalled(*failure);
        LessonStep out = step();
        out.error = std::move(failure);
        return out;
    }
    const Stage after = stageOf(form_);
    LessonStep out = step(sentenceAfter(language_, before, after, event));
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
