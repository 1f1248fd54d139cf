// SPDX-License-Identifier: MIT
// The lesson as the browser page sees it: Form1, its pictures, its event tables and its texts,
// handed to JavaScript through Embind. The page forwards pointer and key events here and draws
// what it is told; every decision (what a gesture raises, where a drop lands, what is said aloud,
// where the focus goes) is made in this file and the core beneath it.

#include "app/project_description.h"
#include "assets/stored_pictures.h"
#include "model/form_model.h"
#include "model/twips.h"
#include "reaction/form1_events.h"
#include "reaction/keyboard_hold.h"
#include "reaction/lesson_texts.h"
#include "reaction/stage.h"
#include "runtime/error_handling.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {
namespace {

using emscripten::val;

// The page draws each picture area inside a sunken frame this many pixels wide; the picture sits
// at the inner top-left, and a drop point is given to the handler in the inner area's twips.

std::string cssColor(OleColor color) {
    const Rgb rgb = resolveColor(color).value_or(Rgb{});
    static constexpr char kHex[] = "0123456789abcdef";
    std::string css = "#";
    for (const std::uint8_t channel : {rgb.r, rgb.g, rgb.b}) {
        css += kHex[channel >> 4];
        css += kHex[channel & 0xF];
    }
    return css;
}

std::string elementKind(ControlKind kind) {
    switch (kind) {
    case ControlKind::PictureArea: return "picture";
    case ControlKind::Label: return "label";
    case ControlKind::PushButton: return "button";
    }
    return "";
}

val rectValue(const PixelRect& r) {
    val out = val::object();
    out.set("x", r.x);
    out.set("y", r.y);
    out.set("width", r.width);
    out.set("height", r.height);
    return out;
}

val fontValue(const FontSpec& font) {
    val out = val::object();
    out.set("family", font.family);
    out.set("points", font.points());
    out.set("weight", font.bold ? 700 : static_cast<int>(font.weight));
    out.set("italic", font.italic);
    out.set("underline", font.underline);
    out.set("strikethrough", font.strikethrough);
    return out;
}

// A decoded picture as the canvas wants it: red, green, blue, alpha, top row first. The loop
// makes no calls: under Emscripten's exception handling every call in it would cross into
// JavaScript and back.
std::vector<std::uint8_t> rgbaOf(const ScenePicture& picture) {
    std::vector<std::uint8_t> rgba(std::size_t{ScenePicture::kWidth} * ScenePicture::kHeight * 4);
    const std::uint8_t* from = picture.data();
    std::uint8_t* to = rgba.data();
    for (std::size_t i = 0; i < ScenePicture::kByteCount; i += 3, to += 4) {
        to[0] = from[i];
        to[1] = from[i + 1];
        to[2] = from[i + 2];
        to[3] = 0xFF;
    }
    return rgba;
}

} // namespace

/*
 * One lesson in one page. Built with the page's presentation, a JavaScript object whose
 * setVisible(name, visible) hides or shows the named element and returns true when it did; that
 * is the model's change notice, and a false return makes the visibility change fail
 * as a run-time error. Every gesture method returns a step: what to draw of the drag outline,
 * what to say, where to put the focus, and the error box to show when a handler failed. After
 * an error the lesson has ended and every gesture returns an empty step.
 */
class WebLesson final {
public:
    explicit WebLesson(val presentation) : presentation_(std::move(presentation)), events_(model_) {
        try {
            for (const PictureId id : kAllPictures)
                pictures_[static_cast<std::size_t>(id)] = rgbaOf(loadScenePicture(id));
        } catch (const PictureFormatError& error) {
            startError_ = std::string(damagedPictureText()) + "\n\n" + error.what();
            ended_ = true;
        }
        model_.setVisibilityListener([this](const Control& control) { return tellPresentation(control); });
    }
    WebLesson(const WebLesson&) = delete;
    WebLesson& operator=(const WebLesson&) = delete;

    // The form: caption, client size in pixels, background, and the title of error boxes.
    val form() const {
        const FormDescription& form = model_.description();
        val out = val::object();
        out.set("name", form.name);
        out.set("caption", form.caption);
        out.set("width", pixelsFromTwips(form.clientWidth, kTwipsPerPixel));
        out.set("height", pixelsFromTwips(form.clientHeight, kTwipsPerPixel));
        out.set("backColor", cssColor(form.backColor));
        out.set("errorTitle", std::string(kVelmoraProject.title));
        out.set("pictureFrame", kPictureAreaFrameWidth);
        out.set("stage", std::string(stageText(stageOf(model_))));
        out.set("startError", startError_);
        return out;
    }

    // The controls in tab order, each with its place in the stack (higher draws above).
    val controls() const {
        std::vector<const Control*> ordered;
        for (const Control& control : model_.controls()) ordered.push_back(&control);
        std::stable_sort(ordered.begin(), ordered.end(), [](const Control* a, const Control* b) {
            return a->record().tabIndex < b->record().tabIndex;
        });
        const auto stack = model_.controls(); // top first
        val out = val::array();
        for (const Control* control : ordered) {
            const ControlRecord& r = control->record();
            const ControlText text = controlText(r.name);
            val c = val::object();
            c.set("name", r.name);
            c.set("kind", elementKind(r.kind));
            c.set("rect", rectValue(pixelRectOf(*control)));
            c.set("layer", static_cast<int>(stack.size()) - static_cast<int>(control - stack.data()));
            c.set("visible", r.visible);
            c.set("focusable", r.canTakeFocus());
            c.set("caption", r.caption);
            c.set("backColor", cssColor(r.effectiveBackColor()));
            c.set("foreColor", cssColor(r.effectiveForeColor()));
            c.set("font", r.font ? fontValue(*r.font) : val::null());
            c.set("picture", r.picture ? static_cast<int>(*r.picture) : -1);
            c.set("draggable", r.autoDrag);
            c.set("activatable", events_.handles(r.name, FormEvent::Click));
            c.set("accessibleName", std::string(text.name));
            c.set("accessibleDescription", std::string(text.description));
            out.call<void>("push", c);
        }
        return out;
    }

    // The decoded picture `index` (a control's `picture`) as RGBA bytes; a view into the lesson's
    // memory that the page copies at once.
    val picture(int index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= pictures_.size() || pictures_[index].empty())
            return val::null();
        const std::vector<std::uint8_t>& rgba = pictures_[static_cast<std::size_t>(index)];
        return val(emscripten::typed_memory_view(rgba.size(), rgba.data()));
    }
    int pictureWidth() const { return ScenePicture::kWidth; }
    int pictureHeight() const { return ScenePicture::kHeight; }

    // A click with the main button (or a tap) on the named control.
    val click(const std::string& name) {
        Control* control = model_.find(name);
        if (ended_ || control == nullptr || !control->visible() || control->record().autoDrag) return step();
        return raise(control, FormEvent::Click, {}, false);
    }

    // Space or Enter on the focused control, or the screen reader's default action.
    val activate(const std::string& name) {
        Control* control = model_.find(name);
        if (ended_ || control == nullptr || !control->visible()) return step();
        if (!control->record().autoDrag) {
            val result = raise(control, FormEvent::Click, {}, false);
            if (!ended_ && !control->visible()) result.set("focus", firstShown(ControlKind::PushButton));
            return result;
        }
        if (drag_) return step(); // the pointer has it
        if (!hold_) {
            const Control* target = dropTarget();
            if (target == nullptr) return step();
            hold_.emplace(pixelRectOf(*control), pixelRectOf(*target), clientWidth(), clientHeight());
            holdSource_ = control;
            val result = step(hold_->pickedUpText());
            result.set("outline", rectValue(hold_->outline()));
            return result;
        }
        const PixelPoint at = hold_->dropPoint();
        Control* source = holdSource_;
        endHold();
        val result = dropAt(*source, at);
        if (!ended_ && !source->visible()) result.set("focus", firstShownDuringLastEvent());
        return result;
    }

    // An arrow key while the substrate is held: one step (a fine one with Shift) each way.
    val moveHold(int dx, int dy, bool fine) {
        if (ended_ || !hold_) return step();
        const int stepSize = fine ? KeyboardHold::kFineStep : KeyboardHold::kStep;
        const std::optional<std::string> said = hold_->moveBy(dx * stepSize, dy * stepSize);
        val result = step(said.value_or(""));
        result.set("outline", rectValue(hold_->outline()));
        return result;
    }

    // Escape, or the held substrate losing the focus: put back, nothing dropped.
    val cancelHold() {
        if (ended_ || !hold_) return step();
        endHold();
        return step(std::string(announcementText(Announcement::Cancelled)));
    }

    bool holding() const { return hold_.has_value(); }

    // The main button (or a finger) went down at (x, y), form pixels, on the named control.
    // A control that drags automatically starts its drag at once.
    val beginDrag(const std::string& name, int x, int y) {
        Control* control = model_.find(name);
        if (ended_ || hold_ || control == nullptr || !control->visible() || !control->record().autoDrag) return step();
        const PixelRect rect = pixelRectOf(*control);
        drag_ = PointerDrag{control, {x - rect.x, y - rect.y}, rect};
        val result = step();
        result.set("outline", rectValue(rect));
        return result;
    }

    // The pointer moved to (x, y) during a drag: the outline follows at the grab offset.
    val moveDrag(int x, int y) {
        if (ended_ || !drag_) return step();
        drag_->outline.x = x - drag_->grab.x;
        drag_->outline.y = y - drag_->grab.y;
        val result = step();
        result.set("outline", rectValue(drag_->outline));
        return result;
    }

    // The pointer came up at (x, y): the drop goes to the visible control under the pointer.
    val endDrag(int x, int y) {
        if (ended_ || !drag_) return step();
        Control* source = drag_->source;
        drag_.reset();
        return dropAt(*source, {x, y});
    }

    // The pointer was taken away (pointercancel, the window lost the focus): nothing dropped.
    val cancelDrag() {
        if (ended_ || !drag_) return step();
        drag_.reset();
        return step(std::string(announcementText(Announcement::Cancelled)));
    }

    bool dragging() const { return drag_.has_value(); }
    bool ended() const { return ended_; }

private:
    struct PointerDrag {
        Control* source;
        PixelPoint grab; // where it was grabbed, in the source's own pixels
        PixelRect outline;
    };

    int clientWidth() const { return pixelsFromTwips(model_.description().clientWidth, kTwipsPerPixel); }
    int clientHeight() const { return pixelsFromTwips(model_.description().clientHeight, kTwipsPerPixel); }

    Status tellPresentation(const Control& control) {
        // The presentation answers false, never throws, when it could not follow.
        if (!presentation_.call<bool>("setVisible", control.name(), control.visible())) return kStatusFail;
        if (control.visible()) shownDuringEvent_.push_back(&control);
        return kStatusOk;
    }

    // The control whose drop the event tables handle: where the keyboard carries the substrate.
    const Control* dropTarget() const {
        for (const Control& control : model_.controls())
            if (control.visible() && events_.handles(control.name(), FormEvent::DragDrop)) return &control;
        return nullptr;
    }

    val dropAt(Control& source, PixelPoint point) {
        Control* target = velmora::controlAt(model_, point);
        return raise(target, FormEvent::DragDrop, dropArguments(source, target, point), true);
    }

    val raise(const Control* control, FormEvent event, const EventArgs& args, bool wasDrop) {
        shownDuringEvent_.clear();
        std::optional<std::string> failure;
        const Stage before = stageOf(model_);
        {
            const ScopedErrorReporter reporter([&failure](const RunTimeError& error) {
                if (!failure) failure = error.what();
            });
            (void)events_.raise(model_, control ? std::string_view(control->name()) : std::string_view(), event, args);
        }
        if (failure) {
            ended_ = true;
            hold_.reset();
            drag_.reset();
            val result = step();
            result.set("error", *failure);
            result.set("ended", std::string(lessonEndedText()));
            return result;
        }
        const std::optional<Announcement> said = announcementAfter(before, stageOf(model_), wasDrop);
        return step(said ? std::string(announcementText(*said)) : std::string());
    }

    val step(const std::string& say = {}) const {
        val out = val::object();
        out.set("say", say);
        out.set("outline", val::null());
        out.set("focus", std::string());
        out.set("error", val::null());
        out.set("stage", std::string(stageText(stageOf(model_))));
        return out;
    }

    void endHold() {
        hold_.reset();
        holdSource_ = nullptr;
    }

    std::string firstShownDuringLastEvent() const {
        for (const Control* control : shownDuringEvent_)
            if (control->visible() && control->record().canTakeFocus()) return control->name();
        return {};
    }

    std::string firstShown(ControlKind kind) const {
        for (const Control& control : model_.controls())
            if (control.kind() == kind && control.visible()) return control.name();
        return {};
    }

    val presentation_;
    FormModel model_;
    Form1Events events_;
    std::array<std::vector<std::uint8_t>, std::size(kAllPictures)> pictures_;
    std::string startError_;
    bool ended_ = false;
    std::optional<KeyboardHold> hold_;
    Control* holdSource_ = nullptr;
    std::optional<PointerDrag> drag_;
    std::vector<const Control*> shownDuringEvent_;
};

} // namespace velmora

EMSCRIPTEN_BINDINGS(velmora) {
    using velmora::WebLesson;
    emscripten::class_<WebLesson>("Lesson")
        .constructor<emscripten::val>()
        .function("form", &WebLesson::form)
        .function("controls", &WebLesson::controls)
        .function("picture", &WebLesson::picture)
        .function("pictureWidth", &WebLesson::pictureWidth)
        .function("pictureHeight", &WebLesson::pictureHeight)
        .function("click", &WebLesson::click)
        .function("activate", &WebLesson::activate)
        .function("moveHold", &WebLesson::moveHold)
        .function("cancelHold", &WebLesson::cancelHold)
        .function("holding", &WebLesson::holding)
        .function("beginDrag", &WebLesson::beginDrag)
        .function("moveDrag", &WebLesson::moveDrag)
        .function("endDrag", &WebLesson::endDrag)
        .function("cancelDrag", &WebLesson::cancelDrag)
        .function("dragging", &WebLesson::dragging)
        .function("ended", &WebLesson::ended);
}
