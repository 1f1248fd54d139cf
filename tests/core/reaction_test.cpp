// SPDX-License-Identifier: MIT
#include "reaction/handlers.h"
#include "reaction_state.h"
#include "runtime/error_handling.h"
#include "runtime/temporaries.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace velmora {
namespace {

using testing::Flags;
using testing::flagsOf;
using testing::force;
using testing::kApart;
using testing::kBound;
using testing::kReleased;

// What a window would do: drop the named control on the enzyme.
Status dropOnEnzyme(FormModel& form, const char* source) {
    return Picture1_DragDrop(form, *form.find(source), 120.0f, 45.0f);
}

struct Transition {
    const char* name;
    Flags from;
    std::function<Status(FormModel&)> act;
    Flags to;
};

class Reaction : public ::testing::TestWithParam<Transition> {};

TEST_P(Reaction, HandlerGivesTheExpectedState) {
    const Transition& t = GetParam();
    FormModel form;
    std::vector<std::string> notices;
    form.setVisibilityListener([&](const Control& c) {
        notices.push_back(c.name());
        return kStatusOk;
    });
    force(form, t.from);
    std::vector<std::int32_t> errors;
    ScopedErrorReporter reporter([&](const RunTimeError& e) { errors.push_back(e.number()); });

    EXPECT_EQ(t.act(form), kStatusOk);
    EXPECT_EQ(flagsOf(form), t.to);
    EXPECT_TRUE(errors.empty());
    std::size_t changed = 0;
    for (std::size_t i = 0; i < 4; ++i) changed += t.from[i] != t.to[i];
    EXPECT_EQ(notices.size(), changed) << "one notice per flag that really changed";
    EXPECT_EQ(form.liveReferences(), 0);
    EXPECT_EQ(Temporaries::live(), 0);
}

Status reset(FormModel& f) { return Command1_Click(f); }
Status release(FormModel& f) { return Picture4_Click(f); }
Status dropSubstrate(FormModel& f) { return dropOnEnzyme(f, "Picture2"); }
std::function<Status(FormModel&)> dropWithTag(std::u16string tag) {
    return [tag](FormModel& f) {
        f.Picture2().control().setProperty("Tag", Variant::text(tag));
        return dropOnEnzyme(f, "Picture2");
    };
}
std::function<Status(FormModel&)> drop(const char* source) {
    return [source](FormModel& f) { return dropOnEnzyme(f, source); };
}

// One transition per line.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Transitions, Reaction,
    ::testing::Values(
        Transition{"ApartDropSubstrate", kApart, dropSubstrate, kBound},
        Transition{"BoundClickComplex", kBound, release, kReleased},
        Transition{"ApartReset", kApart, reset, kApart},
        Transition{"BoundReset", kBound, reset, kApart},
        Transition{"ReleasedReset", kReleased, reset, kApart},
        Transition{"CapitalisedTag", kApart, dropWithTag(u"Substrate"), kApart},
        Transition{"TrailingSpaceTag", kApart, dropWithTag(u"substrate "), kApart},
        Transition{"EmptyTag", kApart, dropWithTag(u""), kApart},
        Transition{"DropEnzymeOnItself", kApart, drop("Picture1"), kApart},
        Transition{"DropHeading", kApart, drop("Label1"), kApart},
        Transition{"DropButton", kApart, drop("Command1"), kApart},
        // Called where the pupil never can, a handler still sets the same flags and leaves the rest.
        Transition{"ReleasedClickComplexAgain", kReleased, release, kReleased},
        Transition{"BoundDropSubstrateAgain", kBound, dropSubstrate, kBound},
        Transition{"ReleasedDropSubstrate", kReleased, dropSubstrate, (Flags{false, false, true, true})}),
    [](const auto& p) { return std::string(p.param.name); });
// clang-format on

TEST(ReactionSource, WhateverControlCarriesTheSubstrateTagIsTheOneHidden) {
    FormModel form;
    form.Label1().setProperty("Tag", Variant::text(u"substrate"));
    EXPECT_EQ(dropOnEnzyme(form, "Label1"), kStatusOk);
    EXPECT_FALSE(form.Label1().visible());
    EXPECT_TRUE(form.Picture2().control().visible());
    EXPECT_FALSE(form.Picture1().control().visible());
    EXPECT_TRUE(form.Picture4().control().visible());
}

// A reaction step refused by the presentation: the listener fails on the n-th notice.
struct Fault {
    const char* name;
    Flags from;
    std::function<Status(FormModel&)> act;
    std::vector<std::string> steps; // the controls each handler step changes, in order
};

class ReactionFault : public ::testing::TestWithParam<Fault> {};

TEST_P(ReactionFault, FailureAtEachStepKeepsEarlierStepsRunsNoLaterOneAndLeaksNothing) {
    const Fault& f = GetParam();
    for (std::size_t failAt = 0; failAt < f.steps.size(); ++failAt) {
        SCOPED_TRACE("failing step " + std::to_string(failAt) + " (" + f.steps[failAt] + ")");
        FormModel form;
        force(form, f.from);
        std::vector<std::string> changed;
        form.setVisibilityListener([&](const Control& c) {
            if (changed.size() == failAt) return static_cast<Status>(0x80070005u);
            changed.push_back(c.name());
            return kStatusOk;
        });
        std::vector<RunTimeError> reports;
        ScopedErrorReporter reporter([&](const RunTimeError& e) { reports.push_back(e); });

        EXPECT_TRUE(failed(f.act(form)));
        EXPECT_EQ(changed, std::vector<std::string>(f.steps.begin(), f.steps.begin() + static_cast<long>(failAt)));
        Flags expected = f.from;
        for (const std::string& name : changed) expected[static_cast<std::size_t>(name.back() - '1')] ^= true;
        EXPECT_EQ(flagsOf(form), expected);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].number(), static_cast<Status>(0x80070005u));
        EXPECT_NE(reports[0].description().find(f.steps[failAt]), std::string::npos) << reports[0].description();
        EXPECT_NE(reports[0].description().find("Visible"), std::string::npos);
        EXPECT_EQ(form.liveReferences(), 0);
        EXPECT_EQ(Temporaries::live(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EverySteps, ReactionFault,
    ::testing::Values(
        // Start from the state opposite to each handler's result, so that every step is a change.
        Fault{"Reset", Flags{false, false, true, true}, reset, {"Picture1", "Picture2", "Picture3", "Picture4"}},
        Fault{"Drop", kApart, dropSubstrate, {"Picture2", "Picture1", "Picture4"}},
        Fault{"ClickComplex", kBound, release, {"Picture4", "Picture3", "Picture1"}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ReactionFault, TypedStepsNameThePictureAreaInterface) {
    FormModel form;
    form.setVisibilityListener([](const Control&) { return kStatusFail; });
    std::vector<std::string> descriptions;
    ScopedErrorReporter reporter([&](const RunTimeError& e) { descriptions.push_back(e.description()); });
    force(form, kBound);
    EXPECT_TRUE(failed(Command1_Click(form)));
    ASSERT_EQ(descriptions.size(), 1u);
    EXPECT_NE(descriptions[0].find("IPictureArea"), std::string::npos) << descriptions[0];
}

TEST(ReactionFault, WithoutAReporterTheErrorLeavesTheHandlerAndNothingLeaks) {
    FormModel form;
    form.setVisibilityListener([](const Control&) { return kStatusFail; });
    EXPECT_THROW(dropOnEnzyme(form, "Picture2"), RunTimeError);
    EXPECT_EQ(flagsOf(form), kApart);
    EXPECT_EQ(form.liveReferences(), 0);
    EXPECT_EQ(Temporaries::live(), 0);
}

} // namespace
} // namespace velmora
