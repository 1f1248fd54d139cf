// SPDX-License-Identifier: MIT
// The lesson as the browser page sees it: a LessonSession, its pictures and its texts, through
// Embind. The page forwards its events here in form pixels and applies what each returns.

#include "assets/picture_words.h"
#include "reaction/focus_mark.h"
#include "reaction/lesson_language.h"
#include "reaction/lesson_session.h"
#include "reaction/lesson_texts.h"
#include "runtime/project_description.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace velmora {
namespace {

using emscripten::val;

std::string cssColor(Rgb rgb) {
    char css[8];
    std::snprintf(css, sizeof css, "#%02x%02x%02x", rgb.r, rgb.g, rgb.b);
    return css;
}
std::string cssColor(OleColor color) { return cssColor(resolveColor(color).value_or(Rgb{})); }

val rectValue(const PixelRect& r) {
    val out = val::object();
    for (const auto& [key, value] : {std::pair{"x", r.x}, {"y", r.y}, {"width", r.width}, {"height", r.height}})
        out.set(key, value);
    return out;
}

// The CSS font shorthand for `font` (style, weight, size, family) and its text decoration.
val fontValue(const FontSpec& font) {
    char css[160];
    std::snprintf(css, sizeof css, "%s%d %gpt \"%s\"", font.italic ? "italic " : "", font.bold ? 700 : font.weight,
                  font.points(), font.family.c_str());
    val out = val::object();
    out.set("font", std::string(css));
    out.set("decoration", std::string(font.underline ? "underline " : "") + (font.strikethrough ? "line-through" : ""));
    return out;
}

std::string nameOf(const Control* control) { return control ? control->name() : std::string(); }

} // namespace

// Makes the first of `tags` (the page's ?lang= and the browser's languages, in order of
// preference) that the lesson speaks its language, English if none, before a Lesson is made.
// Returns the language's tag for <html lang> and its direction for <html dir>.
val chooseLanguage(val tags) {
    const std::string_view code = setLessonLanguage(languageForTags(emscripten::vecFromJSArray<std::string>(tags)));
    val out = val::object();
    out.set("tag", languageTag(code));
    out.set("direction", std::string(rightToLeft(code) ? "rtl" : "ltr"));
    return out;
}

/*
 * One lesson in one page, built with the page's presentation: an object whose setVisible(name,
 * visible) hides or shows the named element and returns true when it did (false fails the
 * handler's step). Every input returns a step: outline, sentence, focus, pressed control, stage,
 * and the error box's text when a handler failed.
 */
class WebLesson final {
public:
    explicit WebLesson(val presentation)
        : presentation_(std::move(presentation)), session_([this](const Control& control) {
              return presentation_.call<bool>("setVisible", control.name(), control.visible()) ? kStatusOk
                                                                                               : kStatusFail;
          }) {
        try {
            for (const PictureId id : kAllPictures) pictures_[static_cast<std::size_t>(id)] = lessonPicture(id).rgba();
        } catch (const PictureFormatError& error) {
            startError_ = std::string(damagedPictureText()) + "\n\n" + error.what();
        }
    }

    // The form: caption, client size, colours, the words of the page around it (its title too).
    val form() const {
        const FormDescription& form = session_.form().description();
        const PixelRect client = clientRectOf(form);
        val out = val::object();
        out.set("name", form.name);
        out.set("caption", form.caption);
        out.set("title", std::string(pageTitleText()));
        out.set("width", client.width);
        out.set("height", client.height);
        out.set("backColor", cssColor(form.backColor));
        out.set("focusRing", cssColor(kFocusRingColour));
        out.set("focusRingWidth", kFocusRingWidth);
        out.set("pictureFrame", kPictureAreaFrameWidth);
        out.set("errorTitle", std::string(kVelmoraProject.title));
        out.set("ok", std::string(okText()));
        out.set("draggableRole", std::string(draggableRoleText()));
        out.set("stage", std::string(stageText(stageOf(session_.form()))));
        out.set("ended", std::string(lessonEndedText()));
        out.set("startError", startError_);
        out.set("firstFocus", nameOf(session_.firstFocus()));
        // Each decoded picture (a square this wide) as RGBA bytes: views into the lesson's memory,
        // which the page copies at once.
        out.set("pictureSize", ScenePicture::kWidth);
        val pictures = val::array();
        for (const std::vector<std::uint8_t>& rgba : pictures_)
            pictures.call<void>("push", val(emscripten::typed_memory_view(rgba.size(), rgba.data())));
        out.set("pictures", pictures);
        return out;
    }

    // The controls in reading order, each with its place in the stack (higher draws above).
    val controls() const {
        const auto stack = session_.form().controls(); // top first
        val out = val::array();
        for (const Control* control : session_.readingOrder()) {
            const ControlRecord& r = control->record();
            const ControlText text = controlText(r.name);
            val c = val::object();
            c.set("name", r.name);
            c.set("kind", r.kind == ControlKind::PictureArea ? "picture"
                          : r.kind == ControlKind::Label     ? "label"
                                                             : "button");
            c.set("rect", rectValue(pixelRectOf(*control)));
            c.set("layer", static_cast<int>(stack.size()) - static_cast<int>(control - stack.data()));
            c.set("visible", r.visible);
            c.set("focusable", r.canTakeFocus());
            c.set("caption", std::string(captionText(*control)));
            c.set("backColor", cssColor(r.effectiveBackColor()));
            c.set("foreColor", cssColor(r.effectiveForeColor()));
            c.set("font", r.font ? fontValue(*r.font) : val::null());
            c.set("picture", r.picture ? static_cast<int>(*r.picture) : -1);
            c.set("draggable", r.autoDrag);
            c.set("clickable", session_.clickable(*control));
            c.set("accessibleName", std::string(text.name));
            c.set("accessibleDescription", std::string(text.description));
            out.call<void>("push", c);
        }
        return out;
    }

    val pointerDown(int x, int y, bool second) { return out(session_.pointerPressed({x, y}, second)); }
    val pointerMove(int x, int y) { return out(session_.pointerMoved({x, y})); }
    val pointerUp(int x, int y) { return out(session_.pointerReleased({x, y})); }
    val pointerCancel() { return out(session_.pointerCancelled()); }
    val activate(const std::string& name) { return out(find(name) ? session_.activate(*find(name)) : LessonStep{}); }
    // An arrow key, as the unit step (dx, dy) it points along.
    val moveHold(int dx, int dy, bool fine) {
        const Direction d = dx < 0   ? Direction::Left
                            : dx > 0 ? Direction::Right
                            : dy < 0 ? Direction::Up
                                     : Direction::Down;
        return out(session_.moveHold(d, fine));
    }
    val putDown() { return out(session_.putDown()); }
    val whereAmI() { return out(session_.whereAmI()); }
    val focusMoved(const std::string& name) { return out(session_.focusMoved(find(name))); }
    val windowBlurred() { return out(session_.windowDeactivated()); }
    bool holding() const { return session_.holding(); }
    bool dragging() const { return session_.dragging(); }

private:
    const Control* find(const std::string& name) const { return session_.form().find(name); }
    val out(const LessonStep& step) const {
        val result = val::object();
        result.set("outline", step.outline ? rectValue(*step.outline) : val::null());
        result.set("say", step.say);
        result.set("focus", nameOf(step.focus));
        result.set("pressed", nameOf(step.pressed));
        result.set("stage", std::string(step.stage));
        result.set("error", step.error ? val(errorBoxText(*step.error)) : val::null());
        return result;
    }

    val presentation_;
    LessonSession session_;
    std::array<std::vector<std::uint8_t>, std::size(kAllPictures)> pictures_;
    std::string startError_;
};

} // namespace velmora

EMSCRIPTEN_BINDINGS(velmora) {
    using velmora::WebLesson;
    emscripten::function("chooseLanguage", &velmora::chooseLanguage);
    emscripten::class_<WebLesson>("Lesson")
        .constructor<emscripten::val>()
        .function("form", &WebLesson::form)
        .function("controls", &WebLesson::controls)
        .function("pointerDown", &WebLesson::pointerDown)
        .function("pointerMove", &WebLesson::pointerMove)
        .function("pointerUp", &WebLesson::pointerUp)
        .function("pointerCancel", &WebLesson::pointerCancel)
        .function("activate", &WebLesson::activate)
        .function("moveHold", &WebLesson::moveHold)
        .function("putDown", &WebLesson::putDown)
        .function("whereAmI", &WebLesson::whereAmI)
        .function("focusMoved", &WebLesson::focusMoved)
        .function("windowBlurred", &WebLesson::windowBlurred)
        .function("holding", &WebLesson::holding)
        .function("dragging", &WebLesson::dragging);
}
