// SPDX-License-Identifier: MIT
// The lesson as every presentation plays it: scripts of inputs, each row with what the session
// must answer (what shows, what is said, where the focus goes, the outline, the pressed look).
#include "reaction/lesson_session.h"
#include "reaction/lesson_texts.h"
#include "reaction_state.h"
#include "runtime/temporaries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

void PrintTo(const PixelRect& r, std::ostream* os) { *os << r.width << "x" << r.height << "+" << r.x << "+" << r.y; }

namespace {

using testing::Flags;
using testing::flagsOf;
using testing::kApart;
using testing::kBound;
using testing::kReleased;

using Steps = std::vector<LessonStep>;
using Input = std::function<Steps(LessonSession&)>;

// Inputs, in client pixels; points on the stored layout.
constexpr PixelPoint kSubstrate{300, 150}, kEnzyme{330, 400}, kEnzymeRightStrip{465, 300}, kEnzymeStripBelow{260, 500},
    kBackground{60, 400}, kHeading{230, 15}, kReset{552, 88}, kOutside{900, 900};
constexpr PixelRect kSubstrateRect{192, 64, 209, 201};

constexpr PointerId kMouse = 1, kFinger = 7;

Input press(PixelPoint p, bool second = false, PointerId id = kMouse) {
    return [=](LessonSession& s) { return Steps{s.pointerPressed(id, p, second)}; };
}
Input move(PixelPoint p, PointerId id = kMouse) {
    return [=](LessonSession& s) { return Steps{s.pointerMoved(id, p)}; };
}
Input release(PixelPoint p, PointerId id = kMouse) {
    return [=](LessonSession& s) { return Steps{s.pointerReleased(id, p)}; };
}
Input cancel(PointerId id = kMouse) {
    return [=](LessonSession& s) { return Steps{s.pointerCancelled(id)}; };
}
Input drag(PixelPoint from, PixelPoint to) {
    return [=](LessonSession& s) {
        return Steps{s.pointerPressed(kMouse, from), s.pointerMoved(kMouse, {(from.x + to.x) / 2, (from.y + to.y) / 2}),
                     s.pointerMoved(kMouse, to), s.pointerReleased(kMouse, to)};
    };
}
Input click(PixelPoint p) {
    return [=](LessonSession& s) { return Steps{s.pointerPressed(kMouse, p), s.pointerReleased(kMouse, p)}; };
}
// Inputs in turn, their steps in one list.
Input then(std::vector<Input> inputs) {
    return [=](LessonSession& s) {
        Steps all;
        for (const Input& input : inputs)
            for (LessonStep& step : input(s)) all.push_back(std::move(step));
        return all;
    };
}
// One key event; `time` 0 takes a new time of its own.
Input keyEvent(Key k, bool down, bool shift = false, bool marked = false, std::uint64_t time = 0) {
    return [=](LessonSession& s) {
        static std::uint64_t clock = 1000;
        return Steps{s.key({k, down, shift, marked, time != 0 ? time : clock += 10})};
    };
}
// A key pressed and released, `times` over.
Input tap(Key k, int times = 1, bool shift = false) {
    return then(std::vector<Input>(static_cast<std::size_t>(times),
                                   then({keyEvent(k, true, shift), keyEvent(k, false, shift)})));
}
Input focus(const char* control) {
    return [=](LessonSession& s) { return Steps{s.focusMoved(control ? s.form().find(control) : nullptr)}; };
}
// The focus on `control`, then Space.
Input space(const char* control) { return then({focus(control), tap(Key::Space)}); }
Input arrow(Direction d, int times, bool fine = false) {
    const Key k = d == Direction::Left    ? Key::Left
                  : d == Direction::Right ? Key::Right
                  : d == Direction::Up    ? Key::Up
                                          : Key::Down;
    return tap(k, times, fine);
}
Input single(LessonStep (LessonSession::*input)()) {
    return [=](LessonSession& s) { return Steps{(s.*input)()}; };
}
const Input kEscape = tap(Key::Escape), kF1 = tap(Key::WhereAmI),
            kDeactivate = single(&LessonSession::windowDeactivated);

const Language kEnglishWords;
std::string said(Announcement a) { return std::string(announcementText(kEnglishWords, a)); }
std::string stage(Stage s) { return std::string(stageText(kEnglishWords, s)); }
const std::string kPickedUp = "Substrate picked up. The enzyme is below. Press Down arrow.";

// What one row expects after its input: what shows, every sentence said (in order, joined by
// " | "), where the focus was moved to (nullptr: it stayed), the outline and the pressed control.
struct Row {
    const char* what;
    Input input;
    Flags shown;
    std::string say = {};
    const char* movesFocusTo = nullptr;
    std::optional<PixelRect> outline = std::nullopt;
    const char* pressed = nullptr;
};

struct Script {
    const char* name;
    std::vector<Row> rows;
};

// clang-format off
const std::vector<Script> kScripts = {
    {"mouse lesson", {
        {"press on the substrate", press({200, 70}), kApart, "", nullptr, kSubstrateRect},
        {"the outline follows at the grab offset", move({300, 270}), kApart, "", nullptr, PixelRect{292, 264, 209, 201}},
        {"drop on the enzyme binds; the focus leaves the hidden enzyme for the complex",
         release(kEnzyme), kBound, said(Announcement::Bound), "Picture4"},
        {"click on the complex releases; the focus goes on to Reset", click(kEnzyme), kReleased,
         said(Announcement::Released), "Command1"},
        {"Reset looks pressed while the main button is down on it", press(kReset), kReleased, "", nullptr, {}, "Command1"},
        {"... and not while the pointer is off it", move(kBackground), kReleased, "", nullptr, {}, nullptr},
        {"... and again when it comes back", move(kReset), kReleased, "", nullptr, {}, "Command1"},
        {"releasing there resets; the focus stays on Reset", release(kReset), kApart, said(Announcement::Reset)},
        {"Reset at the start says nothing", click(kReset), kApart},
    }},
    {"drops that miss", {
        {"on the background", drag(kSubstrate, kBackground), kApart, said(Announcement::Missed)},
        {"on the heading", drag(kSubstrate, kHeading), kApart, said(Announcement::Missed)},
        {"on Reset", drag(kSubstrate, kReset), kApart, said(Announcement::Missed)},
        {"on the substrate itself, without moving", click(kSubstrate), kApart, said(Announcement::Missed)},
        {"outside the window", drag(kSubstrate, kOutside), kApart, said(Announcement::Missed)},
        {"a press and release on Reset elsewhere clicks nothing", then({press(kReset), release(kBackground)}), kApart},
        {"a cancelled pointer drops nothing", then({press(kSubstrate), move(kEnzyme), cancel()}),
         kApart, said(Announcement::Cancelled)},
        {"the window given up during a drag drops nothing",
         then({press(kSubstrate), move(kEnzyme), kDeactivate, release(kEnzyme)}), kApart, said(Announcement::Cancelled)},
        {"Escape during a mouse drag: the outline goes, the release binds nothing",
         then({press(kSubstrate), move(kEnzyme), kEscape, release(kEnzyme)}), kApart, said(Announcement::Cancelled)},
        {"on the enzyme outside a window made smaller", then({[](LessonSession& s) { return Steps{s.resized(400, 300)}; },
         drag(kSubstrate, {450, 350})}), kApart, said(Announcement::Missed)},
        {"clicks on the enzyme, heading and background do nothing",
         then({click(kEnzyme), click(kHeading), click(kBackground)}), kApart},
    }},
    {"one pointer plays at a time", {
        {"a finger on Reset while the mouse drags is ignored",
         then({press(kSubstrate), press(kReset, false, kFinger), release(kReset, kFinger), cancel(kFinger)}),
         kApart, "", nullptr, kSubstrateRect},
        {"the mouse's drop binds", release(kEnzyme), kBound, said(Announcement::Bound), "Picture4"},
        {"Reset", click(kReset), kApart, said(Announcement::Reset), "Command1"},
        {"a palm resting on the form keeps no finger from dragging",
         then({press(kBackground, false, kFinger), press(kSubstrate), release(kEnzyme)}), kBound,
         said(Announcement::Bound), "Picture4"},
        {"a cancelled finger ends its press; the mouse then plays",
         then({press(kEnzyme, false, kFinger), cancel(kFinger), click(kEnzyme)}), kReleased,
         said(Announcement::Released), "Command1"},
    }},
    {"the enzyme's strips bind", {
        {"right of its picture", drag(kSubstrate, kEnzymeRightStrip), kBound, said(Announcement::Bound), "Picture4"},
        {"Reset", click(kReset), kApart, said(Announcement::Reset), "Command1"},
        {"below its picture", drag(kSubstrate, kEnzymeStripBelow), kBound, said(Announcement::Bound), "Picture4"},
        {"a double-click on the complex acts once: its second press finds the enzyme",
         then({click(kEnzyme), press(kEnzyme, true), release(kEnzyme)}), kReleased, said(Announcement::Released),
         "Command1"},
    }},
    {"focus after a step by the pointer", {
        {"focus on Reset", focus("Command1"), kApart},
        {"a bind puts it on the complex", drag(kSubstrate, kEnzyme), kBound, said(Announcement::Bound), "Picture4"},
        {"focus on Reset again", focus("Command1"), kBound},
        {"a release leaves a shown Reset focused", click(kEnzyme), kReleased, said(Announcement::Released)},
        {"focus on nothing of the form", focus(nullptr), kReleased},
        {"a reset puts it on Reset", click(kReset), kApart, said(Announcement::Reset), "Command1"},
    }},
    {"Tab and Shift Tab", {
        {"Shift+Tab from the first wraps to Reset", tap(Key::Tab, 1, true), kApart, "", "Command1"},
        {"Tab wraps to the enzyme", tap(Key::Tab), kApart, "", "Picture1"},
        {"Tab, Tab: the substrate, then Reset past the hidden pictures", tap(Key::Tab, 2), kApart, "", "Command1"},
        {"bound: Shift+Tab from Reset skips the hidden enzyme and substrate", then({drag(kSubstrate, kEnzyme),
         focus("Command1"), tap(Key::Tab, 1, true)}), kBound, said(Announcement::Bound), "Picture4"},
    }},
    {"keyboard lesson", {
        {"pick up", space("Picture2"), kApart, kPickedUp, nullptr, kSubstrateRect},
        {"ten Down arrows", arrow(Direction::Down, 10), kApart, "", nullptr, PixelRect{192, 164, 209, 201}},
        {"the eleventh brings the drop point over the enzyme", arrow(Direction::Down, 1), kApart,
         said(Announcement::OverTarget), nullptr, PixelRect{192, 174, 209, 201}},
        {"a fine step stays over it and says nothing", arrow(Direction::Right, 1, true), kApart, "", nullptr,
         PixelRect{193, 174, 209, 201}},
        {"F1 while holding", kF1, kApart, holdingText(kEnglishWords, {0, 0}), nullptr, PixelRect{193, 174, 209, 201}},
        {"drop binds; the focus goes to the complex", tap(Key::Space), kBound, said(Announcement::Bound), "Picture4"},
        {"F1 bound", kF1, kBound, stage(Stage::Bound)},
        {"Enter on the complex releases", tap(Key::Enter), kReleased, said(Announcement::Released), "Command1"},
        {"Space on Reset looks pressed while it is down", keyEvent(Key::Space, true), kReleased, "", nullptr, {},
         "Command1"},
        {"... and resets as it comes up", keyEvent(Key::Space, false), kApart, said(Announcement::Reset)},
        {"F1 apart", kF1, kApart, stage(Stage::Apart)},
        {"keys on the enzyme do nothing", then({focus("Picture1"), tap(Key::Space), tap(Key::Enter)}), kApart},
        {"arrows without a hold do nothing", arrow(Direction::Down, 3), kApart},
    }},
    {"held keys", {
        {"bound by the pointer", drag(kSubstrate, kEnzyme), kBound, said(Announcement::Bound), "Picture4"},
        {"Enter goes down on the complex and releases", keyEvent(Key::Enter, true), kReleased,
         said(Announcement::Released), "Command1"},
        {"its marked repeats do nothing on Reset, which took the focus", then({keyEvent(Key::Enter, true, false, true),
         keyEvent(Key::Enter, false, false, true), keyEvent(Key::Enter, true, false, true)}), kReleased},
        {"an unmarked repeat, a release and a press at one time, does nothing either", then({
         keyEvent(Key::Enter, false, false, false, 5000), keyEvent(Key::Enter, true, false, false, 5000)}), kReleased},
        {"the key comes up; the next press resets", then({keyEvent(Key::Enter, false), keyEvent(Key::Enter, true)}),
         kApart, said(Announcement::Reset)},
        {"a held Tab goes on through the controls", then({keyEvent(Key::Tab, true), keyEvent(Key::Tab, true, false, true),
         keyEvent(Key::Tab, false)}), kApart, "", "Picture2"},
    }},
    {"keyboard holds put down", {
        {"pick up", space("Picture2"), kApart, kPickedUp, nullptr, kSubstrateRect},
        {"Escape", kEscape, kApart, said(Announcement::Cancelled)},
        {"pick up, leave the enzyme's way, drop beside it: missed, the focus stays",
         then({tap(Key::Space), arrow(Direction::Right, 1), tap(Key::Space)}), kApart,
         kPickedUp + " | " + said(Announcement::Missed)},
        {"pick up, Tab to Reset", then({tap(Key::Space), tap(Key::Tab)}), kApart,
         kPickedUp + " | " + said(Announcement::Cancelled), "Command1"},
        {"pick up, the window is given up", then({space("Picture2"), kDeactivate}), kApart,
         kPickedUp + " | " + said(Announcement::Cancelled)},
        {"pick up; a pointer press on the substrate takes over silently", then({tap(Key::Space), press({200, 70})}),
         kApart, kPickedUp, nullptr, kSubstrateRect},
        {"keys leave a pointer drag alone", then({tap(Key::Space), arrow(Direction::Up, 1)}), kApart, "", nullptr,
         kSubstrateRect},
        {"and its drop binds", release(kEnzyme), kBound, said(Announcement::Bound), "Picture4"},
    }},
    {"leaving the enzyme is said once", {
        {"pick up, eleven Down arrows", then({space("Picture2"), arrow(Direction::Down, 11)}), kApart,
         kPickedUp + " | " + said(Announcement::OverTarget), nullptr, PixelRect{192, 174, 209, 201}},
        {"thirty Left arrows", arrow(Direction::Left, 30), kApart,
         "Not over the enzyme. It is to the right. Press Right arrow.", nullptr, PixelRect{0, 174, 209, 201}},
    }},
    {"the held outline stays inside the client area", {
        {"pick up", space("Picture2"), kApart, kPickedUp, nullptr, kSubstrateRect},
        {"up and left, far", then({arrow(Direction::Up, 40), arrow(Direction::Left, 40)}), kApart, "", nullptr,
         PixelRect{0, 0, 209, 201}},
        {"down and right, far", then({arrow(Direction::Right, 60), arrow(Direction::Down, 60)}), kApart, "", nullptr,
         PixelRect{663 - 209, 510 - 201, 209, 201}},
        {"a smaller window pulls it in", [](LessonSession& s) { return Steps{s.resized(400, 300)}; }, kApart,
         "", nullptr, PixelRect{400 - 209, 300 - 201, 209, 201}},
        {"smaller than the outline, its centre stays on the last pixel", [](LessonSession& s) {
             return Steps{s.resized(100, 50)}; }, kApart, "", nullptr, PixelRect{99 - 104, 49 - 100, 209, 201}},
    }},
};
// clang-format on

void PrintTo(const Script& script, std::ostream* os) { *os << script.name; }

std::string saidIn(const Steps& steps) {
    std::string all;
    for (const LessonStep& step : steps)
        if (!step.say.empty()) all += (all.empty() ? "" : " | ") + step.say;
    return all;
}

std::string nameOf(const Control* control) { return control ? control->name() : "(none)"; }

class LessonScript : public ::testing::TestWithParam<Script> {};

TEST_P(LessonScript, AnswersEachInputAsThePupilExpects) {
    LessonSession session(kEnglishWords, [](const Control&) { return kStatusOk; });
    for (const Row& row : GetParam().rows) {
        SCOPED_TRACE(row.what);
        const Steps steps = row.input(session);
        ASSERT_FALSE(steps.empty());
        const Control* moved = nullptr;
        for (const LessonStep& step : steps)
            if (step.focus) moved = step.focus;
        EXPECT_EQ(flagsOf(session.model()), row.shown);
        EXPECT_EQ(saidIn(steps), row.say);
        EXPECT_EQ(nameOf(moved), row.movesFocusTo ? row.movesFocusTo : "(none)");
        EXPECT_EQ(steps.back().outline, row.outline);
        EXPECT_EQ(nameOf(steps.back().pressed), row.pressed ? row.pressed : "(none)");
        EXPECT_EQ(steps.back().stage, stageText(kEnglishWords, stageOf(session.form())));
        EXPECT_EQ(Temporaries::live(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Lesson, LessonScript, ::testing::ValuesIn(kScripts), [](const auto& p) {
    std::string name = p.param.name;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
});

TEST(LessonSession, TheFocusStartsOnTheEnzymeAndTabsThroughThePicturesToReset) {
    const LessonSession session(kEnglishWords, [](const Control&) { return kStatusOk; });
    std::vector<std::string> order;
    for (const Control* control : session.tabOrder()) order.push_back(control->name());
    EXPECT_EQ(order, (std::vector<std::string>{"Picture1", "Picture2", "Picture3", "Picture4", "Command1"}));
    EXPECT_EQ(session.firstFocus()->name(), "Picture1");
    EXPECT_EQ(session.focused(), session.firstFocus());
}

TEST(LessonSession, InAPageTabLeavesTheFormAtItsEndsAndMovesWithinIt) {
    LessonSession session(kEnglishWords, [](const Control&) { return kStatusOk; });
    session.letFocusLeaveAtEnds();
    struct TabCase {
        const char* from; // nullptr: the focus is outside the form
        bool backwards;
        const char* to; // nullptr: the key is left to the page, which moves the focus on
    };
    for (const TabCase& row : {TabCase{"Picture1", false, "Picture2"}, TabCase{"Picture2", false, "Command1"},
                               TabCase{"Command1", true, "Picture2"}, TabCase{"Command1", false, nullptr},
                               TabCase{"Picture1", true, nullptr}, TabCase{nullptr, false, nullptr}}) {
        SCOPED_TRACE(std::string(row.from ? row.from : "outside") + (row.backwards ? " Shift+Tab" : " Tab"));
        (void)session.focusMoved(row.from ? session.form().find(row.from) : nullptr);
        const LessonStep down = session.key({Key::Tab, true, row.backwards});
        (void)session.key({Key::Tab, false, row.backwards});
        EXPECT_EQ(down.handled, row.to != nullptr);
        EXPECT_EQ(nameOf(down.focus), row.to ? row.to : "(none)");
    }
}

TEST(LessonSession, HiddenControlsAreNeverHit) {
    LessonSession session(kEnglishWords, [](const Control&) { return kStatusOk; });
    (void)drag(kSubstrate, kEnzyme)(session);
    // The enzyme's left strip is not covered by the complex: with the enzyme hidden it is form.
    const PixelRect client = clientRectOf(session.form().description());
    EXPECT_EQ(controlAt(session.model(), {205, 400}, client), nullptr);
    EXPECT_EQ(controlAt(session.model(), {300, 400}, client), &session.model().Picture4().control());
    EXPECT_EQ(controlAt(session.model(), {300, 150}, client), nullptr); // where the substrate was
}

TEST(LessonSession, AStepTheWindowRefusesEndsTheLessonWithItsErrorAndKeepsWhatWasDone) {
    // The window cannot show the products: the release fails half-way.
    LessonSession session(
        kEnglishWords, [](const Control& control) { return control.name() == "Picture3" ? kStatusFail : kStatusOk; });
    (void)drag(kSubstrate, kEnzyme)(session);
    // A screen reader's default action on the complex.
    const LessonStep failed = session.activate(*session.form().find("Picture4"));
    ASSERT_TRUE(failed.error.has_value());
    EXPECT_NE(failed.error->description().find("Visible"), std::string::npos) << failed.error->description();
    EXPECT_EQ(errorBoxText(kEnglishWords, *failed.error).rfind("Run-time error '", 0), 0u);
    EXPECT_TRUE(failed.say.empty());
    EXPECT_EQ(flagsOf(session.model()), (Flags{false, false, false, false})) << "the complex hidden, nothing after it";
    EXPECT_TRUE(session.ended());
    for (const Input& input : {click(kReset), space("Command1"), drag(kSubstrate, kEnzyme), kF1})
        for (const LessonStep& step : input(session)) {
            EXPECT_TRUE(step.say.empty());
            EXPECT_FALSE(step.error.has_value());
            EXPECT_FALSE(step.outline.has_value());
        }
    EXPECT_EQ(flagsOf(session.model()), (Flags{false, false, false, false}));
    EXPECT_EQ(Temporaries::live(), 0);
}

TEST(LessonSession, EachControlHasOneRoleAndAction) {
    const LessonSession session(kEnglishWords, [](const Control&) { return kStatusOk; });
    struct Expected {
        const char* control;
        ControlRole role;
        std::string_view action;
    };
    for (const Expected& e :
         {Expected{"Label1", ControlRole::Heading, ""}, Expected{"Picture1", ControlRole::Image, ""},
          Expected{"Picture2", ControlRole::Image, pickUpActionText(kEnglishWords)},
          Expected{"Picture3", ControlRole::Image, ""},
          Expected{"Picture4", ControlRole::Button, pressActionText(kEnglishWords)},
          Expected{"Command1", ControlRole::Button, pressActionText(kEnglishWords)}}) {
        SCOPED_TRACE(e.control);
        const Accessibility a = session.accessibility(*session.form().find(e.control));
        EXPECT_EQ(a.role, e.role);
        EXPECT_EQ(a.action, e.action);
        EXPECT_EQ(a.name, controlText(kEnglishWords, e.control).name);
        EXPECT_EQ(a.description, controlText(kEnglishWords, e.control).description);
    }
    // The substrate's description tells how to pick it up from the keyboard.
    EXPECT_NE(session.accessibility(*session.form().find("Picture2")).description.find("Space"), std::string::npos);
}

} // namespace
} // namespace velmora
