// SPDX-License-Identifier: MIT
#include "model/form_model.h"
#include "reaction/keyboard_hold.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace velmora {
namespace {

constexpr int kClientWidth = 663;
constexpr int kClientHeight = 510;

KeyboardHold substrateHeld(const FormModel& form) {
    return KeyboardHold(pixelRectOf(*form.find("Picture2")), pixelRectOf(*form.find("Picture1")), kClientWidth,
                        kClientHeight);
}

TEST(KeyboardHold, PickingUpTheSubstrateSaysTheEnzymeIsBelow) {
    const FormModel form;
    const KeyboardHold hold = substrateHeld(form);
    EXPECT_FALSE(hold.overTarget());
    EXPECT_EQ(hold.pickedUpText(), "Substrate picked up. The enzyme is below: press Down arrow.");
}

TEST(KeyboardHold, EnteringAndLeavingTheEnzymeIsSaidOnceEach) {
    const FormModel form;
    KeyboardHold hold = substrateHeld(form);
    std::vector<std::string> said;
    // The drop point starts 108 px above the enzyme's top edge: the eleventh step crosses it.
    for (int i = 0; i < 14; ++i)
        if (auto text = hold.moveBy(0, KeyboardHold::kStep)) said.push_back(*text);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0], "Over the enzyme. Press Space to drop.");
    EXPECT_TRUE(hold.overTarget());
    EXPECT_TRUE(pixelRectOf(*form.find("Picture1")).contains(hold.dropPoint()));

    for (int i = 0; i < 30; ++i)
        if (auto text = hold.moveBy(-KeyboardHold::kStep, 0)) said.push_back(*text);
    ASSERT_EQ(said.size(), 2u);
    EXPECT_EQ(said[1], "Not over the enzyme. It is to the right: press Right arrow.");
}

TEST(KeyboardHold, TheWholeOutlineStaysInsideTheClientAreaThroughResizes) {
    const FormModel form;
    KeyboardHold hold = substrateHeld(form);
    for (int i = 0; i < 90; ++i) (void)hold.moveBy(-KeyboardHold::kStep, -KeyboardHold::kFineStep);
    EXPECT_EQ(hold.outline(), (PixelRect{0, 0, 209, 201}));
    for (int i = 0; i < 90; ++i) (void)hold.moveBy(KeyboardHold::kStep, KeyboardHold::kStep);
    EXPECT_EQ(hold.outline(), (PixelRect{kClientWidth - 209, kClientHeight - 201, 209, 201}));

    // Shrinking the window pulls the outline in with it; smaller than the outline, its drop point
    // stays on the last pixel row and column.
    (void)hold.resizeClient(400, 300);
    EXPECT_EQ(hold.outline(), (PixelRect{400 - 209, 300 - 201, 209, 201}));
    (void)hold.resizeClient(100, 50);
    EXPECT_EQ(hold.dropPoint(), (PixelPoint{99, 49}));
}

TEST(LessonAnnouncements, EachChangeOfStageIsSaidAndOnlyAMissedDropSaysNothingChanged) {
    struct Case {
        Stage before, after;
        bool wasDrop;
        std::optional<Announcement> said;
    };
    const Case cases[] = {
        {Stage::Apart, Stage::Bound, true, Announcement::Bound},
        {Stage::Bound, Stage::Released, false, Announcement::Released},
        {Stage::Bound, Stage::Apart, false, Announcement::Reset},
        {Stage::Released, Stage::Apart, false, Announcement::Reset},
        {Stage::Apart, Stage::Apart, true, Announcement::Missed},
        {Stage::Apart, Stage::Apart, false, std::nullopt}, // Reset at the start: nothing to say
        {Stage::Released, Stage::Released, false, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(announcementAfter(c.before, c.after, c.wasDrop), c.said)
            << static_cast<int>(c.before) << " -> " << static_cast<int>(c.after);
}

} // namespace
} // namespace velmora
