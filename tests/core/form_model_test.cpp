// SPDX-License-Identifier: MIT
#include "model/form_model.h"
#include "model/run_time_error.h"
#include "model/twips.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace velmora {
namespace {

TEST(FormModel, FreshModelShowsEnzymeSubstrateHeadingAndButtonOnly) {
    FormModel form;
    std::vector<std::string> shown;
    for (const Control& c : form.controls())
        if (c.visible()) shown.push_back(c.name());
    EXPECT_EQ(shown, (std::vector<std::string>{"Command1", "Picture2", "Picture1", "Label1"}));
}

TEST(FormModel, TagByNameIsSubstrateOnlyOnPicture2) {
    FormModel form;
    const std::pair<const char*, std::u16string> expected[] = {
        {"Picture1", u""}, {"Picture2", u"substrate"}, {"Picture3", u""}, {"Picture4", u""}};
    for (const auto& [name, tag] : expected) {
        const Variant value = form.find(name)->property("Tag");
        ASSERT_TRUE(value.asText()) << name;
        EXPECT_EQ(*value.asText(), tag) << name;
    }
}

TEST(FormModel, EveryLengthIsAWholeNumberOfPixelsAt96Dpi) {
    const FormDescription& d = form1Description();
    EXPECT_EQ(exactPixels(d.clientWidth, kTwipsPerPixel), 663);
    EXPECT_EQ(exactPixels(d.clientHeight, kTwipsPerPixel), 510);
    for (const ControlRecord& c : d.controls)
        for (int length : {c.left, c.top, c.width, c.height})
            EXPECT_TRUE(exactPixels(length, kTwipsPerPixel)) << c.name << " " << length;
    EXPECT_FALSE(exactPixels(16, 15));
    EXPECT_FALSE(exactPixels(15, 0));
    EXPECT_EQ(pixelsFromTwips(22, 15), 1);
    EXPECT_EQ(pixelsFromTwips(23, 15), 2);
    EXPECT_EQ(pixelsFromTwips(-23, 15), -2);
}

TEST(FormModel, NoPictureAreaThatCanBeShownWithAnotherOverlapsIt) {
    // Hiding one area must only ever uncover the form's background.
    const FormModel form;
    const auto overlaps = [&](const char* a, const char* b) {
        const ControlRecord& r = form.find(a)->record();
        const ControlRecord& s = form.find(b)->record();
        return r.left < s.left + s.width && s.left < r.left + r.width && r.top < s.top + s.height &&
               s.top < r.top + r.height;
    };
    EXPECT_TRUE(overlaps("Picture2", "Picture3"));
    EXPECT_TRUE(overlaps("Picture1", "Picture4"));
    for (const char* upper : {"Picture2", "Picture3"})
        for (const char* other : {"Picture1", "Picture4", "Label1", "Command1"})
            EXPECT_FALSE(overlaps(upper, other)) << upper << " / " << other;
    for (const char* lower : {"Picture1", "Picture4"})
        for (const char* other : {"Label1", "Command1"})
            EXPECT_FALSE(overlaps(lower, other)) << lower << " / " << other;
}

TEST(FormModel, SystemColoursResolveOnTheStandardScheme) {
    constexpr Rgb black{0, 0, 0}, white{255, 255, 255};
    EXPECT_EQ(resolveColor(0x80000007), black);
    EXPECT_EQ(resolveColor(0x80000012), black);
    EXPECT_EQ(resolveColor(0x8000000E), white);
    EXPECT_EQ(resolveColor(0x80000014), white);
    EXPECT_EQ(resolveColor(0x000000FF), (Rgb{255, 0, 0}));
    EXPECT_EQ(resolveColor(0x00FF8000), (Rgb{0, 128, 255}));
    for (OleColor invalid : {0x80000019u, 0x8000001Fu, 0x80000107u, 0x02000000u, 0xFFFFFFFFu})
        EXPECT_FALSE(resolveColor(invalid)) << std::hex << invalid;
}

struct Recorder {
    std::vector<std::string> notices;
    Status answer = kStatusOk;
    VisibilityListener listener() {
        return [this](const Control& c) {
            notices.push_back(c.name() + (c.visible() ? "+" : "-"));
            return answer;
        };
    }
};

TEST(FormModel, VisibilityChangeIsPassedOnOnceAndRepeatingItSendsNothing) {
    FormModel form;
    Recorder recorder;
    form.setVisibilityListener(recorder.listener());
    EXPECT_EQ(form.Picture3().setVisible(kVbFalse), kStatusOk);
    EXPECT_TRUE(recorder.notices.empty());
    EXPECT_EQ(form.Picture3().setVisible(kVbTrue), kStatusOk);
    EXPECT_EQ(form.Picture3().setVisible(1), kStatusOk); // any non-zero value means true
    EXPECT_EQ(recorder.notices, std::vector<std::string>{"Picture3+"});
}

TEST(FormModel, RefusedVisibilityChangeFailsAndKeepsTheOldFlag) {
    FormModel form;
    Recorder recorder;
    recorder.answer = static_cast<Status>(0x8000FFFFu);
    form.setVisibilityListener(recorder.listener());
    EXPECT_EQ(form.Picture1().setVisible(kVbFalse), static_cast<Status>(0x8000FFFFu));
    EXPECT_TRUE(form.Picture1().control().visible());

    form.setVisibilityListener([](const Control&) -> Status { throw std::runtime_error("window gone"); });
    EXPECT_TRUE(failed(form.Picture4().setVisible(kVbTrue)));
    EXPECT_FALSE(form.Picture4().control().visible());
}

TEST(FormModel, ByNameAccessToAPropertyTheKindLacksIsAnErrorAndChangesNothing) {
    FormModel form;
    const std::pair<const char*, const char*> missing[] = {{"Picture1", "Caption"},
                                                           {"Label1", "DragMode"},
                                                           {"Command1", "ForeColor"},
                                                           {"Picture2", "Tagg"},
                                                           {"Picture2", ""}};
    for (const auto& [control, property] : missing) {
        Control& c = *form.find(control);
        const ControlRecord before = c.record();
        try {
            c.setProperty(property, Variant::boolean(false));
            ADD_FAILURE() << control << "." << property << " was set";
        } catch (const RunTimeError& e) {
            EXPECT_EQ(e.number(), error_number::kNoSuchProperty);
            EXPECT_NE(e.description().find(control), std::string::npos) << e.description();
        }
        EXPECT_THROW((void)c.property(property), RunTimeError);
        EXPECT_EQ(c.record().visible, before.visible);
        EXPECT_EQ(c.record().tag, before.tag);
    }
}

TEST(FormModel, ByNameSetRefusesReadOnlyPropertiesAndWrongTypes) {
    FormModel form;
    Control& substrate = form.Picture2().control();
    const auto numberOf = [&](const char* name, const Variant& v) {
        try {
            substrate.setProperty(name, v);
        } catch (const RunTimeError& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(numberOf("Left", Variant::longValue(0)), error_number::kPropertyReadOnly);
    EXPECT_EQ(numberOf("Name", Variant::text(u"Enzyme")), error_number::kPropertyReadOnly);
    EXPECT_EQ(numberOf("Visible", Variant::text(u"False")), error_number::kTypeMismatch);
    EXPECT_EQ(numberOf("Tag", Variant::boolean(true)), error_number::kTypeMismatch);
    EXPECT_EQ(substrate.record().left, 2880);
    EXPECT_TRUE(substrate.visible());

    // Names match without regard to case; Visible also takes a number.
    EXPECT_EQ(numberOf("visible", Variant::longValue(0)), 0);
    EXPECT_FALSE(substrate.visible());
    EXPECT_EQ(numberOf("TAG", Variant::text(u"x")), 0);
    EXPECT_EQ(substrate.property("tag"), Variant::text(u"x"));
}

TEST(FormModel, RefusedByNameVisibilityChangeIsAnErrorCarryingTheStatus) {
    FormModel form;
    form.setVisibilityListener([](const Control&) { return kStatusFail; });
    try {
        form.Picture2().control().setProperty("Visible", Variant::boolean(false));
        FAIL() << "no error";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.number(), kStatusFail);
        EXPECT_NE(e.description().find("Picture2"), std::string::npos);
    }
    EXPECT_TRUE(form.Picture2().control().visible());
}

TEST(FormModel, DescriptionsMissingAControlOrRepeatingANameAreRefused) {
    FormDescription withoutLabel = form1Description();
    withoutLabel.controls.pop_back();
    EXPECT_THROW(FormModel{withoutLabel}, std::invalid_argument);

    FormDescription twice = form1Description();
    twice.controls.push_back(twice.controls.front());
    EXPECT_THROW(FormModel{twice}, std::invalid_argument);

    FormDescription wrongKind = form1Description();
    wrongKind.controls[0].kind = ControlKind::PictureArea; // Command1
    EXPECT_THROW(FormModel{wrongKind}, std::invalid_argument);
}

TEST(Text, Utf8BecomesUtf16AndBadBytesBecomeReplacementCharacters) {
    const std::string text = "Enzym\xC3\xA9 \xE2\x80\x93 \xF0\x9F\xA7\xAA";
    EXPECT_EQ(toUtf16(text), u"Enzymé – 🧪");
    EXPECT_EQ(toUtf16(std::string("a\xFF") + "b\xC3"), u"a\uFFFDb\uFFFD");
}

} // namespace
} // namespace velmora
