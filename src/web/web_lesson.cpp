// SPDX-License-Identifier: MIT
// The lesson as the browser page sees it: one LessonSession, its pictures and its texts, through
// a plain C interface. The page forwards its events here in form pixels; every call answers with
// a JSON text in the lesson's memory, valid until the next call, which the page applies.

#include "assets/scene_picture.h"
#include "reaction/focus_mark.h"
#include "reaction/lesson_session.h"
#include "reaction/lesson_texts.h"
#include "runtime/project_description.h"

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// The page's change notice: hides or shows the named element; 0 when it could not.
EM_JS(int, velmora_page_set_visible, (const char* name, int visible),
      { return Module.setVisible(UTF8ToString(name), !!visible) ? 1 : 0; });

namespace velmora {
namespace {

// JSON values: a text, a number, a flag, an array and an object of values that are JSON already.
std::string text(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        char escaped[8] = {c};
        if (static_cast<unsigned char>(c) < 0x20) std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
        if (c == '"' || c == '\\') escaped[0] = '\\', escaped[1] = c;
        out += escaped;
    }
    return out + '"';
}
std::string number(int value) { return std::to_string(value); }
std::string flag(bool value) { return value ? "true" : "false"; }
std::string array(const std::vector<std::string>& items) {
    std::string out = "[";
    for (const std::string& item : items) (out += out.size() > 1 ? "," : "") += item;
    return out + ']';
}
std::string object(std::initializer_list<std::pair<std::string_view, std::string>> fields) {
    std::string out = "{";
    for (const auto& [key, value] : fields) ((out += out.size() > 1 ? "," : "") += text(key) += ':') += value;
    return out + '}';
}

std::string cssColor(Rgb rgb) {
    char css[8];
    std::snprintf(css, sizeof css, "#%02x%02x%02x", rgb.r, rgb.g, rgb.b);
    return text(css);
}
std::string cssColor(OleColor color) { return cssColor(resolveColor(color).value_or(Rgb{})); }

std::string rect(const PixelRect& r) {
    return object({{"x", number(r.x)}, {"y", number(r.y)}, {"width", number(r.width)}, {"height", number(r.height)}});
}

// The CSS font shorthand for `font` (style, weight, size, family) and its text decoration.
std::string font(const FontSpec& font) {
    char css[160];
    std::snprintf(css, sizeof css, "%s%d %gpt \"%s\"", font.italic ? "italic " : "", font.bold ? 700 : font.weight,
                  font.points(), font.family.c_str());
    const std::string decoration =
        std::string(font.underline ? "underline " : "") + (font.strikethrough ? "line-through" : "");
    return object({{"font", text(css)}, {"decoration", text(decoration)}});
}

std::string nameOf(const Control* control) { return text(control ? control->name() : std::string()); }

std::optional<LessonSession> lesson;
std::array<std::vector<std::uint8_t>, std::size(kAllPictures)> rgba; // the decoded pictures
std::string answer;

const char* answered(std::string json) {
    answer = std::move(json);
    return answer.c_str();
}

// The four pictures, decoded from their records (back to back, in the order of PictureId), as
// the addresses of their RGBA bytes, and the start error if a record is damaged.
const char* decoded(std::span<const std::uint8_t> records) {
    std::vector<std::string> pictures;
    std::string error;
    try {
        for (const PictureId id : kAllPictures) {
            const std::size_t at = std::min(records.size(), static_cast<std::size_t>(id) * kPictureRecordSize);
            const auto record = records.subspan(at, std::min(kPictureRecordSize, records.size() - at));
            auto& bytes = rgba[static_cast<std::size_t>(id)] = decodePictureRecord(record, pictureName(id)).rgba();
            pictures.push_back(std::to_string(reinterpret_cast<std::uintptr_t>(bytes.data())));
        }
    } catch (const PictureFormatError& damaged) {
        error = std::string(damagedPictureText()) + "\n\n" + damaged.what();
    }
    return answered(object({{"pictures", array(pictures)}, {"error", text(error)}}));
}

// The form: caption, size, colours, the page's words and the controls in reading order.
const char* started() {
    const FormDescription& form = lesson->form().description();
    const PixelRect client = clientRectOf(form);
    std::vector<std::string> controls;
    const auto stack = lesson->form().controls(); // top first
    for (const Control* control : lesson->readingOrder()) {
        const ControlRecord& r = control->record();
        const ControlText about = controlText(r.name);
        const char* kind = r.kind == ControlKind::PictureArea ? "picture"
                           : r.kind == ControlKind::Label     ? "label"
                                                              : "button";
        controls.push_back(object(
            {{"name", text(r.name)},
             {"kind", text(kind)},
             {"rect", rect(pixelRectOf(*control))},
             {"layer", number(static_cast<int>(stack.size() - static_cast<std::size_t>(control - stack.data())))},
             {"visible", flag(r.visible)},
             {"focusable", flag(r.canTakeFocus())},
             {"caption", text(r.caption)},
             {"backColor", cssColor(r.effectiveBackColor())},
             {"foreColor", cssColor(r.effectiveForeColor())},
             {"font", r.font ? font(*r.font) : "null"},
             {"picture", number(r.picture ? int(*r.picture) : -1)},
             {"draggable", flag(r.autoDrag)},
             {"clickable", flag(lesson->clickable(*control))},
             {"accessibleName", text(about.name)},
             {"accessibleDescription", text(about.description)}}));
    }
    return answered(object({{"name", text(form.name)},
                            {"caption", text(form.caption)},
                            {"width", number(client.width)},
                            {"height", number(client.height)},
                            {"backColor", cssColor(form.backColor)},
                            {"focusRing", cssColor(kFocusRingColour)},
                            {"focusRingWidth", number(kFocusRingWidth)},
                            {"pictureFrame", number(kPictureAreaFrameWidth)},
                            {"errorTitle", text(kVelmoraProject.title)},
                            {"ok", text(okText())},
                            {"draggableRole", text(draggableRoleText())},
                            {"stage", text(stageText(stageOf(lesson->form())))},
                            {"ended", text(lessonEndedText())},
                            {"firstFocus", nameOf(lesson->firstFocus())},
                            {"pictureSize", number(ScenePicture::kWidth)},
                            {"controls", array(controls)}}));
}

// What the page applies after an input: outline, sentence, focus, pressed control, stage, and the
// error box's text when a handler failed.
const char* stepped(const LessonStep& step) {
    return answered(object({{"outline", step.outline ? rect(*step.outline) : "null"},
                            {"say", text(step.say)},
                            {"focus", nameOf(step.focus)},
                            {"pressed", nameOf(step.pressed)},
                            {"stage", text(step.stage)},
                            {"error", step.error ? text(errorBoxText(*step.error)) : "null"}}));
}

// The control at `index` in reading order; nullptr for -1 or any index out of range.
const Control* control(int index) {
    const auto order = lesson->readingOrder();
    return index >= 0 && static_cast<std::size_t>(index) < order.size() ? order[static_cast<std::size_t>(index)]
                                                                        : nullptr;
}

} // namespace
} // namespace velmora

using velmora::lesson;
using velmora::stepped;

extern "C" {
EMSCRIPTEN_KEEPALIVE const char* velmora_start() {
    lesson.emplace([](const velmora::Control& c) {
        return velmora_page_set_visible(c.name().c_str(), c.visible()) ? velmora::kStatusOk : velmora::kStatusFail;
    });
    return velmora::started();
}
// The picture records, `size` bytes at `records` (the page's to free).
EMSCRIPTEN_KEEPALIVE const char* velmora_pictures(const std::uint8_t* records, std::size_t size) {
    return velmora::decoded({records, size});
}
EMSCRIPTEN_KEEPALIVE const char* velmora_pointer_down(int x, int y, int second) {
    return stepped(lesson->pointerPressed({x, y}, second));
}
EMSCRIPTEN_KEEPALIVE const char* velmora_pointer_move(int x, int y) { return stepped(lesson->pointerMoved({x, y})); }
EMSCRIPTEN_KEEPALIVE const char* velmora_pointer_up(int x, int y) { return stepped(lesson->pointerReleased({x, y})); }
EMSCRIPTEN_KEEPALIVE const char* velmora_pointer_cancel() { return stepped(lesson->pointerCancelled()); }
// A control goes by its place in reading order, -1 for none.
EMSCRIPTEN_KEEPALIVE const char* velmora_activate(int control) {
    const velmora::Control* c = velmora::control(control);
    return stepped(c ? lesson->activate(*c) : velmora::LessonStep{});
}
EMSCRIPTEN_KEEPALIVE const char* velmora_focus_moved(int control) {
    return stepped(lesson->focusMoved(velmora::control(control)));
}
// An arrow key, as the unit step (dx, dy) it points along.
EMSCRIPTEN_KEEPALIVE const char* velmora_move_hold(int dx, int dy, int fine) {
    using velmora::Direction;
    const Direction d = dx < 0 ? Direction::Left : dx > 0 ? Direction::Right : dy < 0 ? Direction::Up : Direction::Down;
    return stepped(lesson->moveHold(d, fine));
}
EMSCRIPTEN_KEEPALIVE const char* velmora_put_down() { return stepped(lesson->putDown()); }
EMSCRIPTEN_KEEPALIVE const char* velmora_where_am_i() { return stepped(lesson->whereAmI()); }
EMSCRIPTEN_KEEPALIVE const char* velmora_window_blurred() { return stepped(lesson->windowDeactivated()); }
EMSCRIPTEN_KEEPALIVE int velmora_holding() { return lesson->holding(); }
}
