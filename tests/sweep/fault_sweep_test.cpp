// SPDX-License-Identifier: MIT
// Fault sweep of the three handlers, raised through Form1's event tables as the lesson session raises
// them. From every combination of the four picture flags, for every handler (the drop with each
// control as the tagged source), the presentation refuses exactly one visibility change in turn,
// in every way it can refuse: a negative status, a thrown std::exception, a thrown non-exception.
// Expected results come from a small step list written here, not from the handlers.

#include "core/reaction_state.h"
#include "reaction/form1_events.h"
#include "reaction_steps.h"
#include "runtime/error_handling.h"
#include "runtime/temporaries.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora {
namespace {

using testing::dropSteps;
using testing::noticesFrom;
using testing::Step;
using testing::Visibility;
using testing::visibilityOf;

struct Action {
    std::string name;
    std::string target; // the control the event is raised on
    std::string event;
    std::string source;      // drops only: the dragged control, tagged "substrate" for the sweep
    std::vector<Step> steps; // what the handler sets, in order
};

// Test names and failure messages show the action by name, not as raw bytes.
void PrintTo(const Action& action, std::ostream* out) { *out << action.name; }

std::vector<Action> actions() {
    std::vector<Action> list{
        {"Reset", "Command1", "Click", "", testing::resetSteps()},
        {"ClickComplex", "Picture4", "Click", "", testing::complexClickSteps()},
    };
    for (const char* source : {"Picture2", "Picture1", "Picture3", "Picture4", "Label1", "Command1"})
        list.push_back({std::string("Drop") + source, "Picture1", "DragDrop", source, dropSteps(source)});
    return list;
}

enum class Refusal { NegativeStatus, StdException, OtherException };
constexpr Refusal kRefusals[] = {Refusal::NegativeStatus, Refusal::StdException, Refusal::OtherException};

const char* refusalName(Refusal r) {
    switch (r) {
    case Refusal::NegativeStatus: return "negative status";
    case Refusal::StdException: return "std::exception";
    case Refusal::OtherException: return "non-exception throw";
    }
    return "?";
}

struct Sweep {
    FormModel form;
    Form1Events events{form};

    Sweep(const testing::Flags& start, const Action& action) {
        testing::force(form, start);
        if (!action.source.empty()) form.find(action.source)->setProperty("Tag", Variant::text(u"substrate"));
    }

    std::optional<Status> raise(const Action& action) {
        EventArgs args;
        if (!action.source.empty()) args = {form.find(action.source), 300.0f, 450.0f};
        return events.raise(form, action.target, action.event, args);
    }

    void expectNothingHeld() {
        EXPECT_EQ(form.liveReferences(), 0);
        EXPECT_EQ(Temporaries::live(), 0);
        for (const char* owner : {"", "Command1", "Picture1", "Picture4", "Picture2"})
            EXPECT_EQ(events.table(owner)->references, 0u) << "event table of '" << owner << "'";
    }
};

std::vector<testing::Flags> everyStart() {
    std::vector<testing::Flags> all;
    for (unsigned bits = 0; bits < 16; ++bits)
        all.push_back({(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0});
    return all;
}

std::string describe(const testing::Flags& f) {
    std::string s = "(";
    for (bool b : f) s += b ? '1' : '0';
    return s + ")";
}

class FaultSweep : public ::testing::TestWithParam<Action> {};

TEST_P(FaultSweep, EachRefusedStepIsReportedOnceWithEarlierStepsDoneAndNothingLeaked) {
    const Action& action = GetParam();
    int runs = 0;
    for (const testing::Flags& start : everyStart()) {
        for (Refusal refusal : kRefusals) {
            const std::vector<Step> notices = noticesFrom(visibilityOf(Sweep(start, action).form), action.steps);
            for (std::size_t failAt = 0; failAt < notices.size(); ++failAt) {
                SCOPED_TRACE("from " + describe(start) + ", " + refusalName(refusal) + " at notice " +
                             std::to_string(failAt) + " (" + notices[failAt].control + ")");
                Sweep sweep(start, action);
                Visibility expected = visibilityOf(sweep.form);
                for (std::size_t i = 0; i < failAt; ++i) expected[notices[i].control] = notices[i].visible;
                const Status refusedWith = static_cast<Status>(0x80070005u + failAt);

                std::vector<std::string> told;
                sweep.form.setVisibilityListener([&](const Control& c) -> Status {
                    // The flag already holds the new value while the presentation is told.
                    EXPECT_EQ(c.visible(), notices.at(told.size()).visible) << c.name();
                    told.push_back(c.name());
                    if (told.size() - 1 != failAt) return kStatusOk;
                    switch (refusal) {
                    case Refusal::NegativeStatus: return refusedWith;
                    case Refusal::StdException: throw std::runtime_error("presentation gone");
                    case Refusal::OtherException: throw 42;
                    }
                    return kStatusOk;
                });
                std::vector<RunTimeError> reports;
                {
                    const ScopedErrorReporter reporter([&](const RunTimeError& e) { reports.push_back(e); });
                    const std::optional<Status> status = sweep.raise(action);
                    ASSERT_TRUE(status.has_value());
                    EXPECT_TRUE(failed(*status));
                }
                std::vector<std::string> expectedTold;
                for (std::size_t i = 0; i <= failAt; ++i) expectedTold.push_back(notices[i].control);
                EXPECT_EQ(told, expectedTold) << "no step runs after the refused one";
                EXPECT_EQ(visibilityOf(sweep.form), expected);
                ASSERT_EQ(reports.size(), 1u);
                const Status number = refusal == Refusal::NegativeStatus ? refusedWith : kStatusFail;
                EXPECT_EQ(reports[0].number(), number);
                const std::string& text = reports[0].description();
                EXPECT_NE(text.find(notices[failAt].control), std::string::npos) << text;
                EXPECT_NE(text.find("Visible"), std::string::npos) << text;
                EXPECT_NE(text.find(hexStatus(number)), std::string::npos) << text;
                sweep.expectNothingHeld();
                ++runs;
            }
        }
    }
    EXPECT_GT(runs, 0) << "some start makes this handler change a flag";
}

TEST_P(FaultSweep, WithoutAReporterTheRefusalLeavesThroughTheEventTablesAndNothingLeaks) {
    const Action& action = GetParam();
    for (const testing::Flags& start : everyStart()) {
        const std::vector<Step> notices = noticesFrom(visibilityOf(Sweep(start, action).form), action.steps);
        for (std::size_t failAt = 0; failAt < notices.size(); ++failAt) {
            SCOPED_TRACE("from " + describe(start) + ", refusing notice " + std::to_string(failAt));
            Sweep sweep(start, action);
            std::size_t told = 0;
            sweep.form.setVisibilityListener(
                [&](const Control&) { return told++ == failAt ? static_cast<Status>(0x8000FFFFu) : kStatusOk; });
            EXPECT_THROW(sweep.raise(action), RunTimeError);
            EXPECT_EQ(told, failAt + 1);
            sweep.expectNothingHeld();
        }
    }
}

TEST_P(FaultSweep, WithoutARefusalEveryStartEndsWhereTheStepsSay) {
    const Action& action = GetParam();
    for (const testing::Flags& start : everyStart()) {
        for (Status accepted : {kStatusOk, Status{1}, Status{0x7FFFFFFF}}) {
            SCOPED_TRACE("from " + describe(start) + ", presentation answering " + std::to_string(accepted));
            Sweep sweep(start, action);
            Visibility expected = visibilityOf(sweep.form);
            const std::vector<Step> notices = noticesFrom(expected, action.steps);
            for (const Step& s : notices) expected[s.control] = s.visible;
            std::size_t told = 0;
            sweep.form.setVisibilityListener([&](const Control&) { return ++told, accepted; });
            std::vector<RunTimeError> reports;
            const ScopedErrorReporter reporter([&](const RunTimeError& e) { reports.push_back(e); });
            EXPECT_EQ(sweep.raise(action), std::optional<Status>(kStatusOk)) << "zero and positive are success";
            EXPECT_EQ(told, notices.size());
            EXPECT_EQ(visibilityOf(sweep.form), expected);
            EXPECT_TRUE(reports.empty());
            sweep.expectNothingHeld();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryHandler, FaultSweep, ::testing::ValuesIn(actions()),
                         [](const auto& p) { return p.param.name; });

} // namespace
} // namespace velmora
