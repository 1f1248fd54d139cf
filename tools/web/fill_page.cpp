// SPDX-License-Identifier: MIT
// Writes the web edition's page from its template, run by node at build time:
//   fill_page TEMPLATE STYLE_SHEET OUTPUT PICTURE_DIR
// Each @NAME@ of the template becomes what the lesson gives for it, so that the page shows the
// start screen in the pupil's language and says what it must before any script of the lesson
// runs (and @STYLE@ the style sheet, which the page carries inside, so that nothing but its
// pictures delays the first frame):
//   @FORM@       the view with Form1 and its controls in their start state, as the lesson
//                describes them in English (geometry, colours, fonts, captions, names and
//                descriptions, which are shown), each shown picture as an image, NAME.png, and
//                beside the form the switches of the program's own voice and sounds;
//   @LANGUAGE_TAGS@  JSON for the page's first script, in its head: the language the lesson
//                chooses for every tag it knows;
//   @START_WORD_FILES@  JSON for that script too: the images of @START_PICTURES@ that each
//                language's start screen shows, by tag, for it to ask for at once;
//   @LANGUAGES@  JSON for the page's script after the form: the page's own sentences (and title)
//                in each language it speaks, and for each language but English the start
//                screen's words that differ from the form's (captions, names, descriptions, the
//                stage sentence, the switches' labels), each with the id of
//                the element and the attribute that carry it, and the words drawn in its shown
//                pictures that differ, each by the id of the link to its image and its place;
//   @START_PICTURES@  those links, hidden: NAME.TAG.png, the image of the part of a word's
//                ground that differs from English in the language whose tag is TAG (and in
//                every language with the same word);
//   @HEADING_FONT@  the family of the heading's font, which the page's own words use too;
//   @TITLE@, @LOADING@, @TRY_AGAIN@, @CANNOT_RUN@, @CANNOT_LOAD@, @FROM_FILE@  the page's
//                sentences in English, which the form is written in.
// The shown pictures, decoded by the lesson from its stored records, go to PICTURE_DIR as NAME.ppm
// (binary PPM), and their words in each other language, cut from the pictures as the lesson
// decodes them in it, as NAME.TAG.pam (binary PAM, transparent around the word), for the build to
// turn into the PNG files the page refers to.
#include "assets/picture_words.h"
#include "language/language.h"
#include "markup.h"
#include "picture_files.h"
#include "reaction/drag_outline_look.h"
#include "reaction/feedback.h"
#include "reaction/focus_mark.h"
#include "reaction/lesson_session.h"
#include "reaction/lesson_texts.h"
#include "web/json.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora {
namespace {

std::string cssColor(Rgb rgb) {
    char css[8];
    std::snprintf(css, sizeof css, "#%02x%02x%02x", rgb.r, rgb.g, rgb.b);
    return css;
}
std::string cssColor(OleColor color) { return cssColor(resolveColor(color).value_or(Rgb{})); }

std::string px(int length) { return std::to_string(length) + "px"; }

std::string box(const PixelRect& r) {
    return "left:" + px(r.x) + ";top:" + px(r.y) + ";width:" + px(r.width) + ";height:" + px(r.height);
}

// The CSS of `font` (style, weight, size, family, then the page's stand-ins) and its decoration.
std::string font(const FontSpec& font) {
    char css[160];
    std::snprintf(css, sizeof css, "font:%s%d %gpt \"%s\", var(--fallback-fonts)", font.italic ? "italic " : "",
                  font.bold ? 700 : font.weight, font.points(), font.family.c_str());
    const std::string decoration = font.underline && font.strikethrough ? "underline line-through"
                                   : font.underline                     ? "underline"
                                   : font.strikethrough                 ? "line-through"
                                                                        : "none";
    return std::string(css) + ";text-decoration:" + decoration;
}

// The hidden element that carries `control`'s description for aria-describedby, never read alone.
std::string descriptionElement(const std::string& control, std::string_view description) {
    return "<span class=\"visually-hidden\" aria-hidden=\"true\"" + attribute("id", control + "-description") + '>' +
           escaped(description) + "</span>";
}

// One control in its start state, in the lesson's language. `layer` is its place in the stack, 1
// at the bottom.
std::string controlElement(const LessonSession& lesson, const Control& control, int layer) {
    const Language& language = lesson.language();
    const ControlRecord& r = control.record();
    const Accessibility about = lesson.accessibility(control);
    std::string style = box(pixelRectOf(control)) + ";z-index:" + std::to_string(layer) +
                        ";background:" + cssColor(r.effectiveBackColor()) +
                        ";color:" + cssColor(r.effectiveForeColor());
    if (r.font) style += ';' + font(*r.font);
    std::string common = attribute("id", r.name) + (r.visible ? "" : " hidden") + attribute("style", style);
    const std::string described = about.description.empty() ? "" : descriptionElement(r.name, about.description);
    if (!described.empty()) common += attribute("aria-describedby", r.name + "-description");
    // The lesson's heading is the page's; its push button a button with its caption, described
    // beside it; a picture area an element in the role the lesson gives it, named and described.
    if (about.role == ControlRole::Heading)
        return "<h1 class=\"label\" data-control=\"label\"" + common + '>' + escaped(captionText(language, control)) +
               "</h1>";
    if (r.kind == ControlKind::PushButton)
        return "<button type=\"button\" class=\"button\" data-control=\"button\"" + common + '>' +
               escaped(captionText(language, control)) + "</button>" + described;
    // Inside its picture, the description is hidden with it.
    std::string element = "<div class=\"picture\" data-control=\"picture\"" + common +
                          attribute("role", about.role == ControlRole::Button ? "button" : "img") +
                          attribute("aria-label", about.name) + (r.canTakeFocus() ? " tabindex=\"0\"" : "") + '>' +
                          described + "<div class=\"inner\">";
    if (r.picture && r.visible) {
        const std::string name(pictureName(*r.picture));
        // The start screen's pictures are what its first frame waits for: fetched first.
        element += "<img fetchpriority=\"high\"" + attribute("src", name + ".png") +
                   attribute("width", std::to_string(ScenePicture::kWidth)) +
                   attribute("height", std::to_string(ScenePicture::kHeight)) + " alt=\"\" draggable=\"false\">";
    }
    return element + "</div></div>";
}

// The id of the switch of `aid`; its label's is this with "-text".
std::string aidId(Aid aid) { return aid == Aid::Voice ? "voice-switch" : "sound-switch"; }

// The switches of the program's own voice and sounds, beside the form, labelled in `language`,
// each with its aid's number for the page's script; and where the page says that no voice speaks
// the lesson's language.
std::string aidSwitches(const Language& language) {
    std::string out = "<div id=\"aids\">\n";
    for (const Aid aid : kAllAids)
        out += "<label><input type=\"checkbox\"" + attribute("id", aidId(aid)) +
               attribute("data-aid", std::to_string(int(aid))) + "><span" + attribute("id", aidId(aid) + "-text") +
               '>' + escaped(aidSwitchText(language, aid)) + "</span></label>\n";
    return out + "<p id=\"no-voice\" role=\"status\"></p>\n</div>";
}

// The view, and in it Form1 in its start state (the controls in reading order, then the drag
// outline) and the sentence that says where the lesson stands, as `lesson` (just started) gives them.
std::string formElements(const LessonSession& lesson) {
    const FormDescription& form = lesson.form().description();
    const PixelRect client = clientRectOf(form);
    const std::string back = cssColor(form.backColor);
    // Only the texts follow the direction of the lesson's language (the page's <html dir>). The
    // form, an application, has a screen reader pass it its keys while the focus is inside. The
    // stage sentence follows it, not as its description: a changed one is said after each step.
    std::string out =
        "<div id=\"view\"" + attribute("style", "--form-back:" + back) + ">\n<div id=\"Form1\" dir=\"ltr\" " +
        "role=\"application\"" + attribute("aria-label", form.caption) +
        attribute("style",
                  "--form-width:" + px(client.width) + ";--form-height:" + px(client.height) +
                      ";--frame:" + px(kPictureAreaFrameWidth) + ";--focus-ring:" + cssColor(kFocusRingColour) +
                      ";--focus-ring-width:" + px(kFocusRingWidth) + ";--outline-grey:" + cssColor(kDragOutlineGrey) +
                      ";--outline-dash-colour:" + cssColor(kDragOutlineDashColour) + ";--outline-width:" +
                      px(kDragOutlineWidth) + ";--outline-dash:" + px(kDragOutlineDash) + ";background:" + back) +
        ">\n";
    const auto stack = lesson.form().controls(); // top first
    for (const Control* control : lesson.readingOrder()) {
        const auto layer = static_cast<int>(stack.size() - static_cast<std::size_t>(control - stack.data()));
        out += controlElement(lesson, *control, layer) + '\n';
    }
    out += "<div id=\"outline\" hidden aria-hidden=\"true\"></div>\n</div>\n";
    out += "<p id=\"stage\" class=\"visually-hidden\">" + escaped(lesson.stageSentence()) + "</p>\n";
    return out + aidSwitches(lesson.language()) + "\n</div>";
}

// The family of the heading's font, quoted for CSS.
std::string headingFont(const FormModel& form) {
    for (const Control& control : form.controls())
        if (control.kind() == ControlKind::Label && control.record().font)
            return '"' + control.record().font->family + '"';
    return "serif";
}

// The pixels of `box` in `picture`: RGB, rows packed, top row first.
std::string pixelsOf(const ScenePicture& picture, const PictureBox& box) {
    std::string pixels;
    for (int y = box.top; y <= box.bottom; ++y)
        pixels.append(reinterpret_cast<const char*>(picture.data()) + y * ScenePicture::kBytesPerLine +
                          box.left * ScenePicture::kBytesPerPixel,
                      static_cast<std::size_t>(box.width() * ScenePicture::kBytesPerPixel));
    return pixels;
}

// The smallest box of `ground` in which `picture` differs from `english`; none where it does not.
std::optional<PictureBox> changed(const ScenePicture& english, const ScenePicture& picture, const PictureBox& ground) {
    std::optional<PictureBox> box;
    for (int y = ground.top; y <= ground.bottom; ++y) {
        for (int x = ground.left; x <= ground.right; ++x) {
            if (english.pixel(x, y) == picture.pixel(x, y)) continue;
            if (!box) box = PictureBox{x, y, x, y};
            box->left = std::min(box->left, x);
            box->right = std::max(box->right, x);
            box->bottom = y;
        }
    }
    return box;
}

// The start screen in each language but English, the one the form is written in: for the page's
// script, each word the start screen shows or gives a screen reader (captions, names, role
// descriptions and descriptions of the shown controls, the stage sentence) that differs from the
// English form's, with where the form carries it; and each word drawn in a shown picture that
// differs, as the smallest part of its ground where the picture, as the lesson decodes it in that
// language, differs from the English one, in an image to lay over the English picture. The
// images go to `dir` as PAM files, NAME.TAG.pam (NAME as wordImageName() gives it) for the first
// language whose pixels they are, which every language with the same word shares, and the page
// gets a hidden link to each; the English pictures whole, as PPM files, NAME.ppm.
struct StartScreens {
    std::map<std::string, std::string, std::less<>> words; // by language tag: JSON
    std::string links;
    std::vector<std::string> files; // JSON fields: a language's tag, and the word images it shows
    bool written = true;
};

StartScreens startScreens(const LessonSession& lesson, const std::string& dir) {
    using namespace json;
    StartScreens screens;
    std::map<PictureId, ScenePicture> englishPictures;
    struct Written {
        std::string pixels;
        int left, top;
        std::string link, file;
    };
    std::vector<Written> written;                            // the other languages' words, as images
    std::map<std::string, std::string, std::less<>> english; // the English form's words, by where they go
    for (const std::string_view code : lessonLanguages()) {
        const Language language(code);
        const std::string tag = languageTag(code);
        std::vector<std::string> pictures, files;
        for (const Control& control : lesson.form().controls()) {
            const ControlRecord& r = control.record();
            if (!r.picture || !r.visible) continue;
            const ScenePicture picture = lessonPicture(*r.picture, language);
            if (code == kEnglish) {
                const PictureBox whole{0, 0, ScenePicture::kWidth - 1, ScenePicture::kHeight - 1};
                screens.written =
                    screens.written && writePicture(dir + '/' + std::string(pictureName(*r.picture)) + ".ppm",
                                                    whole.width(), whole.height(), pixelsOf(picture, whole));
                englishPictures.emplace(*r.picture, picture);
                continue;
            }
            for (const WordPlace& place : kWordPlaces) {
                if (place.picture != *r.picture) continue;
                const std::optional<PictureBox> box = changed(englishPictures.at(*r.picture), picture, place.ground);
                if (!box) continue;
                std::string pixels = pixelsOf(picture, *box);
                auto same = std::find_if(written.begin(), written.end(), [&](const Written& earlier) {
                    return earlier.pixels == pixels && earlier.left == box->left && earlier.top == box->top;
                });
                if (same == written.end()) {
                    const std::string file = wordImageName(place) + '.' + tag;
                    screens.written = screens.written && writeLaid(dir + '/' + file + ".pam", picture, *box);
                    screens.links +=
                        "<a" + attribute("id", "word-" + file) + attribute("href", file + ".png") + " hidden></a>\n";
                    same = written.insert(written.end(),
                                          {std::move(pixels), box->left, box->top, "word-" + file, file + ".png"});
                }
                pictures.push_back(array({text(r.name), text(same->link)}));
                files.push_back(text(same->file));
            }
        }
        // Each word as where the form carries it: the element's id, and its attribute ("" for its text).
        std::vector<std::string> differing;
        const auto word = [&](const std::string& id, std::string_view attribute, std::string_view words) {
            const std::string where = id + ' ' + std::string(attribute);
            if (code == kEnglish)
                english.emplace(where, words);
            else if (english.at(where) != words)
                differing.push_back(array({text(id), text(attribute), text(words)}));
        };
        // What the lesson in this language tells a screen reader of each shown control; the form
        // carries a description where the English one has it.
        const LessonSession spoken(language, [](const Control&) { return kStatusOk; });
        word("stage", "", spoken.stageSentence());
        for (const Aid aid : kAllAids) word(aidId(aid) + "-text", "", aidSwitchText(language, aid));
        for (const Control* control : spoken.readingOrder()) {
            const ControlRecord& r = control->record();
            if (!r.visible) continue;
            const Accessibility about = spoken.accessibility(*control);
            if (r.kind != ControlKind::PictureArea)
                word(r.name, "", captionText(language, *control));
            else
                word(r.name, "aria-label", about.name);
            const std::string description = r.name + "-description";
            if (code == kEnglish ? !about.description.empty() : english.contains(description + ' '))
                word(description, "", about.description);
        }
        if (!files.empty()) screens.files.push_back(field(tag, array(files)));
        if (code != kEnglish)
            screens.words.emplace(tag, object({field("words", array(differing)), field("pictures", array(pictures))}));
    }
    return screens;
}

// Which language the lesson chooses for each tag it knows by itself: its tag, as <html lang> takes it.
std::string languageTags() {
    using namespace json;
    std::vector<std::string> tags;
    for (const std::string& tag : languageTagsMatched())
        tags.push_back(field(tag, text(languageTag(languageForTags(std::vector{tag})))));
    return object(tags);
}

// The page's own words in each language: its direction, title and sentences, and the start
// screen's words and pictures where they are not the English form's.
std::string pageLanguages(const StartScreens& screens) {
    using namespace json;
    std::vector<std::string> texts;
    for (const std::string_view code : lessonLanguages()) {
        const Language language(code);
        std::vector<std::string> fields{
            field("dir", text(rightToLeft(code) ? "rtl" : "ltr")), field("title", text(pageTitleText(language))),
            field("loading", text(loadingText(language))),         field("cannotLoad", text(cannotLoadText(language))),
            field("tryAgain", text(tryAgainText(language))),       field("fromFile", text(fromFileText(language))),
            field("cannotRun", text(cannotRunText(language)))};
        if (const auto start = screens.words.find(languageTag(code)); start != screens.words.end())
            fields.push_back(field("start", start->second));
        texts.push_back(field(languageTag(code), object(fields)));
    }
    return object({field("texts", object(texts))});
}

} // namespace
} // namespace velmora

int main(int argc, char** argv) {
    using namespace velmora;
    if (argc != 5) {
        std::cerr << "usage: fill_page TEMPLATE STYLE_SHEET OUTPUT PICTURE_DIR\n";
        return 2;
    }
    const auto contents = [](const char* path) -> std::optional<std::string> {
        std::ifstream in(path, std::ios::binary);
        std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (!in) {
            std::cerr << "fill_page: cannot read " << path << '\n';
            return std::nullopt;
        }
        return text;
    };
    const std::optional<std::string> page = contents(argv[1]);
    const std::optional<std::string> style = contents(argv[2]);
    if (!page || !style) return 1;
    // The form is written in English; the page's script puts each other language's words in.
    const Language english;
    const LessonSession lesson(english, [](const Control&) { return kStatusOk; });
    std::string form;
    StartScreens screens;
    try {
        form = formElements(lesson);
        screens = startScreens(lesson, argv[4]);
        if (!screens.written) {
            std::cerr << "fill_page: cannot write the pictures into " << argv[4] << '\n';
            return 1;
        }
    } catch (const PictureFormatError& damaged) {
        std::cerr << "fill_page: " << damaged.what() << '\n';
        return 1;
    }
    const std::map<std::string, std::string, std::less<>> filled{
        {"FORM", form},
        {"STYLE", *style},
        {"HEADING_FONT", escaped(headingFont(lesson.form()))},
        {"LANGUAGE_TAGS", languageTags()},
        {"LANGUAGES", pageLanguages(screens)},
        {"START_PICTURES", screens.links},
        {"START_WORD_FILES", json::object(screens.files)},
        {"TITLE", escaped(pageTitleText(english))},
        {"LOADING", escaped(loadingText(english))},
        {"TRY_AGAIN", escaped(tryAgainText(english))},
        {"CANNOT_RUN", escaped(cannotRunText(english))},
        {"CANNOT_LOAD", escaped(cannotLoadText(english))},
        {"FROM_FILE", escaped(fromFileText(english))},
    };
    std::string out;
    for (std::size_t at = 0; at < page->size();) {
        const std::size_t open = page->find('@', at);
        const std::size_t close = open == std::string::npos ? open : page->find('@', open + 1);
        if (close == std::string::npos) {
            out += page->substr(at);
            break;
        }
        const auto value = filled.find(std::string_view(*page).substr(open + 1, close - open - 1));
        if (value == filled.end()) {
            std::cerr << "fill_page: " << argv[1]
                      << " names nothing the lesson gives: " << page->substr(open, close - open + 1) << '\n';
            return 1;
        }
        out += page->substr(at, open - at) + value->second;
        at = close + 1;
    }
    if (!(std::ofstream(argv[3], std::ios::binary) << out)) {
        std::cerr << "fill_page: cannot write " << argv[3] << '\n';
        return 1;
    }
    return 0;
}
