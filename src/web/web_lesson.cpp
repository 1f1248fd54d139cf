// SPDX-License-Identifier: MIT
// The lesson as the browser page sees it: one LessonSession, its pictures and its texts, through
// a plain C interface. The page forwards its events here as the browser gives them (pointers in
// form pixels, with their ids; keys as the session's Key); every call answers with a JSON text in
// the lesson's memory, valid until the next call, which the page applies. The run's choice of the
// program's own voice and sounds is held here too, so that each step tells the page only what it
// is to speak and play.

#include "assets/picture_words.h"
#include "language/language.h"
#include "reaction/feedback.h"
#include "reaction/lesson_session.h"
#include "reaction/lesson_texts.h"
#include "runtime/project_description.h"
#include "sound/cue_sound.h"
#include "web/json.h"

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The page's change notice: hides or shows the named element; 0 when it could not.
EM_JS(int, velmora_page_set_visible, (const char* name, int visible),
      { return Module.setVisible(UTF8ToString(name), !!visible) ? 1 : 0; });

namespace velmora {
namespace {

using json::array, json::field, json::flag, json::number, json::object, json::text;

std::string rect(const PixelRect& r) {
    return object({field("x", number(r.x)), field("y", number(r.y)), field("width", number(r.width)),
                   field("height", number(r.height))});
}

std::string nameOf(const Control* control) { return text(control ? control->name() : std::string()); }

// The languages this page has besides English: each one's catalogue and pictures' words come
// as a file of their own, which the page hands over (velmora_language_files).
constexpr std::string_view kPageLanguages = VELMORA_WEB_LANGUAGES;

std::string chosen{kEnglish};           // the code of the page's choice, English until it makes one
Language language;                      // the language the lesson speaks: the choice, once its files are in
std::vector<std::uint8_t> languagePack; // the pack its files came in, kept
std::vector<EmbeddedFile> words;        // the pictures' words in it, views into the pack
std::optional<LessonSession> lesson;
Feedback feedback; // the voice and the sounds: the page's presets, then the pupil's switches
std::array<std::vector<std::int16_t>, std::size(kAllCues)> cues;     // made on the page's first asking
std::array<std::vector<std::uint8_t>, std::size(kAllPictures)> rgba; // the decoded pictures
std::string answer;

// The parts of `text` between the `separator`s.
std::vector<std::string_view> parts(std::string_view text, char separator) {
    std::vector<std::string_view> out;
    while (!text.empty()) {
        out.push_back(text.substr(0, text.find(separator)));
        text.remove_prefix(std::min(text.size(), out.back().size() + 1));
    }
    return out;
}

// The lines of `text` (the page's lists, one item a line), each without its '\n'.
std::vector<std::string> lines(std::string_view text) {
    const std::vector<std::string_view> each = parts(text, '\n');
    return {each.begin(), each.end()};
}

const char* answered(std::string json) {
    answer = std::move(json);
    return answer.c_str();
}

// The four pictures as the lesson shows them, decoded from their records (back to back, in the
// order of PictureId): the addresses of their RGBA bytes, and the start error if one is damaged.
const char* decoded(std::span<const std::uint8_t> records) {
    std::vector<std::string> pictures;
    std::string error;
    try {
        for (const PictureId id : kAllPictures) {
            const std::size_t at = std::min(records.size(), static_cast<std::size_t>(id) * kPictureRecordSize);
            const auto record = records.subspan(at, std::min(kPictureRecordSize, records.size() - at));
            auto& bytes = rgba[static_cast<std::size_t>(id)] = lessonPicture(id, language, record, words).rgba();
            pictures.push_back(std::to_string(reinterpret_cast<std::uintptr_t>(bytes.data())));
        }
    } catch (const PictureFormatError& damaged) {
        error = damagedPictureText(language, damaged.what());
    }
    return answered(object({field("pictures", array(pictures)), field("error", text(error))}));
}

// The browser's names (KeyboardEvent.key) of the keys the lesson answers. Tab stays the
// browser's: it moves the focus through the page's controls in their order and on out of the
// page, which a lesson inside another page must let it do.
constexpr std::pair<std::string_view, Key> kBrowserKeys[] = {
    {"Tab", Key::Tab},       {" ", Key::Space},        {"Enter", Key::Enter},
    {"Escape", Key::Escape}, {"ArrowLeft", Key::Left}, {"ArrowRight", Key::Right},
    {"ArrowUp", Key::Up},    {"ArrowDown", Key::Down}, {"F1", Key::WhereAmI},
};

// Whether each aid is on now, by its number.
std::string aids() {
    std::vector<std::string> on(std::size(kAllAids));
    for (const Aid aid : kAllAids) on[static_cast<std::size_t>(aid)] = flag(feedback.on(aid));
    return array(on);
}

// The form as the page needs it once the lesson has started, in the lesson's language: its size,
// the page's words (its title too), and the controls in reading order with their words and
// pictures, the keys it answers with their numbers for velmora_key, whether each aid is on, and
// what the page says where no voice speaks the lesson's language. The page itself holds the rest,
// written into it in the start state.
const char* started() {
    const PixelRect client = clientRectOf(lesson->form().description());
    std::vector<std::string> controls;
    for (const Control* control : lesson->readingOrder()) {
        const ControlRecord& r = control->record();
        const Accessibility about = lesson->accessibility(*control);
        controls.push_back(object({field("name", text(r.name)), field("caption", text(captionText(language, *control))),
                                   field("picture", number(r.picture ? int(*r.picture) : -1)),
                                   field("accessibleName", text(about.name)),
                                   field("accessibleDescription", text(about.description))}));
    }
    std::vector<std::string> keys;
    for (const auto& [name, key] : kBrowserKeys) keys.push_back(field(name, number(int(key))));
    return answered(object(
        {field("title", text(pageTitleText(language))), field("width", number(client.width)),
         field("height", number(client.height)), field("errorTitle", text(kVelmoraProject.title)),
         field("ok", text(okText(language))), field("keys", object(keys)),
         field("stage", text(lesson->stageSentence())), field("ended", text(lessonEndedText(language))),
         field("firstFocus", nameOf(lesson->firstFocus())), field("pictureSize", number(ScenePicture::kWidth)),
         field("controls", array(controls)), field("aids", aids()), field("noVoice", text(noVoiceText(language)))}));
}

// What the page applies after an input: outline, sentence, what the voice says and which cue
// sounds (by its number) where each is on, focus, pressed control, stage, whether the
// cycle has come round to the products released (for a learning platform's record), and the
// error box's text when a handler failed.
const char* stepped(const LessonStep& step) {
    const bool sounds = step.cue && feedback.on(Aid::Sound);
    return answered(object({field("outline", step.outline ? rect(*step.outline) : "null"), field("say", text(step.say)),
                            field("voice", text(feedback.on(Aid::Voice) ? step.voice : std::string())),
                            field("cue", sounds ? number(int(*step.cue)) : "null"), field("focus", nameOf(step.focus)),
                            field("pressed", nameOf(step.pressed)), field("stage", text(step.stage)),
                            field("released", flag(stageOf(lesson->form()) == Stage::Released)),
                            field("error", step.error ? text(errorBoxText(language, *step.error)) : "null"),
                            field("handled", flag(step.handled))}));
}

// The language of `code` as this page writes it: its tag for <html lang> and its direction.
const char* languageAnswer(std::string_view code) {
    return answered(
        object({field("tag", text(languageTag(code))), field("direction", text(rightToLeft(code) ? "rtl" : "ltr"))}));
}

// Keeps the pack `given` and takes the chosen language's files out of it (entries
// "<code>/<name>": a zero-ended name, a 4-byte little-endian length, the bytes): its catalogue
// ("catalogue") and its pictures' words. A damaged pack ends where it stops making sense; without
// a catalogue the lesson stays English.
void takeLanguageFiles(std::span<const std::uint8_t> given) {
    const std::string prefix = chosen + "/";
    languagePack.assign(given.begin(), given.end());
    words.clear();
    std::span<const std::uint8_t> pack = languagePack;
    while (!pack.empty()) {
        const auto* begin = reinterpret_cast<const char*>(pack.data());
        const std::string_view name(begin, std::find(begin, begin + pack.size(), '\0') - begin);
        if (name.size() + 5 > pack.size()) break;
        std::size_t size = 0;
        for (std::size_t i = 0; i < 4; ++i) size |= std::size_t{pack[name.size() + 1 + i]} << (8 * i);
        pack = pack.subspan(name.size() + 5);
        if (size > pack.size()) break;
        const auto bytes = pack.first(size);
        pack = pack.subspan(size);
        if (!name.starts_with(prefix)) continue;
        if (name.substr(prefix.size()) == "catalogue")
            language = Language(chosen, bytes);
        else
            words.push_back({name, bytes});
    }
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
// Chooses the first of the language tags (the page's ?lang= and the browser's languages, in
// order of preference, one a line in `size` bytes at `tags`) that the page has, English if none,
// before the lesson starts: its tag and direction. The lesson speaks it once its files are in.
EMSCRIPTEN_KEEPALIVE const char* velmora_choose_language(const char* tags, std::size_t size) {
    const std::vector<std::string> wanted = velmora::lines({tags, size});
    std::vector<std::string_view> codes = velmora::parts(velmora::kPageLanguages, ' ');
    codes.insert(codes.begin(), velmora::kEnglish);
    velmora::chosen = velmora::languageForTags(wanted, codes);
    velmora::language = velmora::Language();
    return velmora::languageAnswer(velmora::chosen);
}
// Which of the browser's voices, by the language tags they speak (one a line in `size` bytes at
// `tags`, in the browser's order; `preferred` the default voice's place, -1 for none), speaks the
// lesson's language: its place, or -1 when none does.
EMSCRIPTEN_KEEPALIVE int velmora_voice_for(const char* tags, std::size_t size, int preferred) {
    const auto chosen = velmora::voiceFor(velmora::lines({tags, size}), velmora::language.code(),
                                          preferred >= 0 ? std::optional<std::size_t>(preferred) : std::nullopt);
    return chosen ? static_cast<int>(*chosen) : -1;
}
// The chosen language's files, `size` bytes at `files` (the page's to free; any pack that holds
// them): the lesson speaks it from now on. Its tag and direction, English's when they were not
// there.
EMSCRIPTEN_KEEPALIVE const char* velmora_language_files(const std::uint8_t* files, std::size_t size) {
    velmora::takeLanguageFiles({files, size});
    return velmora::languageAnswer(velmora::language.code());
}
// Starts the lesson, with the voice and the sounds preset on or off (a teacher's link).
EMSCRIPTEN_KEEPALIVE const char* velmora_start(int voicePreset, int soundPreset) {
    velmora::feedback = velmora::Feedback(voicePreset != 0, soundPreset != 0);
    lesson.emplace(velmora::language, [](const velmora::Control& c) {
        return velmora_page_set_visible(c.name().c_str(), c.visible()) ? velmora::kStatusOk : velmora::kStatusFail;
    });
    // The form is one part of the page: Tab at its ends goes on to the browser's controls.
    lesson->letFocusLeaveAtEnds();
    return velmora::started();
}
// The picture records, `size` bytes at `records` (the page's to free).
EMSCRIPTEN_KEEPALIVE const char* velmora_pictures(const std::uint8_t* records, std::size_t size) {
    return velmora::decoded({records, size});
}
// Pointer `id` (the browser's pointerId) went down, moved, came up or was taken away at (x, y)
// in form pixels; `second` for the second press of a double-click.
EMSCRIPTEN_KEEPALIVE const char* velmora_pointer_down(int id, int x, int y, int second) {
    return stepped(lesson->pointerPressed(id, {x, y}, second != 0));
}
EMSCRIPTEN_KEEPALIVE const char* velmora_pointer_move(int id, int x, int y) {
    return stepped(lesson->pointerMoved(id, {x, y}));
}
EMSCRIPTEN_KEEPALIVE const char* velmora_pointer_up(int id, int x, int y) {
    return stepped(lesson->pointerReleased(id, {x, y}));
}
EMSCRIPTEN_KEEPALIVE const char* velmora_pointer_cancel(int id) { return stepped(lesson->pointerCancelled(id)); }
// A key went down or up: `key` a number of the start's "keys", `time` the event's time stamp in ms.
EMSCRIPTEN_KEEPALIVE const char* velmora_key(int key, int down, int shift, int repeat, double time) {
    const bool known = key >= 0 && key < static_cast<int>(velmora::Key::Other);
    return stepped(lesson->key({.key = known ? static_cast<velmora::Key>(key) : velmora::Key::Other,
                                .down = down != 0,
                                .shift = shift != 0,
                                .markedRepeat = repeat != 0,
                                .time = time > 0 ? static_cast<std::uint64_t>(time) : 0}));
}
// A control goes by its place in reading order, -1 for none.
EMSCRIPTEN_KEEPALIVE const char* velmora_activate(int control) {
    const velmora::Control* c = velmora::control(control);
    return stepped(c ? lesson->activate(*c) : velmora::LessonStep{});
}
EMSCRIPTEN_KEEPALIVE const char* velmora_focus_moved(int control) {
    return stepped(lesson->focusMoved(velmora::control(control)));
}
EMSCRIPTEN_KEEPALIVE const char* velmora_window_blurred() { return stepped(lesson->windowDeactivated()); }
// The pupil's switch of an aid, by its number (the page's switches carry it): whether each is on now.
EMSCRIPTEN_KEEPALIVE const char* velmora_toggle(int aid) {
    for (const velmora::Aid each : velmora::kAllAids)
        if (static_cast<int>(each) == aid) velmora::feedback.toggle(each);
    return velmora::answered(velmora::aids());
}
// The cues' sounds, in the order of their numbers in a step's "cue": the sample rate, and each
// cue's 16-bit mono samples as their address and count, made once and kept for the run.
EMSCRIPTEN_KEEPALIVE const char* velmora_cues() {
    using namespace velmora::json;
    std::vector<std::string> sounds(std::size(velmora::kAllCues));
    for (const velmora::Cue cue : velmora::kAllCues) {
        auto& samples = velmora::cues[static_cast<std::size_t>(cue)];
        if (samples.empty()) samples = velmora::cueSamples(cue);
        sounds[static_cast<std::size_t>(cue)] =
            object({field("address", std::to_string(reinterpret_cast<std::uintptr_t>(samples.data()))),
                    field("length", std::to_string(samples.size()))});
    }
    return velmora::answered(object({field("rate", number(velmora::kCueSampleRate)), field("cues", array(sounds))}));
}
}
