// SPDX-License-Identifier: MIT
// A storm of random events on the form model, raised the way the lesson session raises them, checked
// after every event against a three-state reference machine written here. Only events the window
// can deliver are drawn: a drop needs a visible dragged control, a drop on the enzyme needs the
// enzyme shown, and a click reaches only a visible control. Tags stay as stored.

#include "core/reaction_state.h"
#include "reaction/form1_events.h"
#include "reaction/handlers.h"
#include "runtime/error_handling.h"
#include "runtime/temporaries.h"
#include "storm_seed.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace velmora {
namespace {

using testing::Flags;

// The reaction as a learner sees it.
enum class State { Apart, Bound, Released };

struct Reference {
    State state = State::Apart;

    Flags flags() const {
        switch (state) {
        case State::Apart: return testing::kApart;
        case State::Bound: return testing::kBound;
        case State::Released: return testing::kReleased;
        }
        return {};
    }
    bool visible(const std::string& name) const {
        if (name == "Label1" || name == "Command1") return true;
        return flags()[static_cast<std::size_t>(name.back() - '1')];
    }
    void reset() { state = State::Apart; }
    void dropOnEnzyme(const std::string& source) {
        if (source == "Picture2") state = State::Bound;
    }
    void clickComplex() { state = State::Released; }
};

const std::array<std::string, 6> kControls{"Command1", "Picture4", "Picture3", "Picture2", "Picture1", "Label1"};

enum Kind { DropOnEnzyme, DropElsewhere, ClickComplex, Reset, OtherEvent, kKinds };
const char* const kKindNames[kKinds] = {"drop on the enzyme", "drop elsewhere", "click on the complex", "reset",
                                        "event without a handler"};

TEST(CoreStorm, RandomEventsKeepTheReactionInItsThreeStates) {
    constexpr int kEvents = 150'000;
    const std::uint64_t seed = testing::stormSeed("core");
    std::mt19937_64 random(seed);
    const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const auto coordinate = [&] { return std::uniform_real_distribution<float>(-2000.0f, 12000.0f)(random); };

    FormModel form;
    Form1Events events(form);
    Reference reference;
    // What a presentation following the notices would show, and how many notices came.
    std::map<std::string, bool> mirror;
    for (const Control& c : form.controls()) mirror[c.name()] = c.visible();
    int notices = 0;
    form.setVisibilityListener([&](const Control& c) {
        mirror[c.name()] = c.visible();
        ++notices;
        return kStatusOk;
    });
    std::vector<std::string> reports;
    const ScopedErrorReporter reporter([&](const RunTimeError& e) { reports.push_back(e.what()); });

    std::array<int, kKinds> drawn{};
    std::map<std::pair<State, State>, int> transitions;
    for (int i = 0; i < kEvents;) {
        const Flags before = reference.flags();
        const State from = reference.state;
        std::vector<std::string> visible;
        for (const std::string& name : kControls)
            if (reference.visible(name)) visible.push_back(name);

        auto kind = static_cast<Kind>(pick(kKinds));
        if (kind == ClickComplex && !reference.visible("Picture4")) kind = OtherEvent;
        if (kind == DropOnEnzyme && !reference.visible("Picture1")) kind = DropElsewhere;
        ++drawn[kind];
        std::string what = kKindNames[kind];
        std::optional<Status> status;
        switch (kind) {
        case DropOnEnzyme: {
            const std::string& source = visible[pick(visible.size())];
            what += " from " + source;
            // The window goes through the event tables; the handler is also called straight.
            if (pick(2) == 0)
                status = events.raise(form, "Picture1", "DragDrop", {form.find(source), coordinate(), coordinate()});
            else
                status = Picture1_DragDrop(form, *form.find(source), coordinate(), coordinate());
            reference.dropOnEnzyme(source);
            break;
        }
        case DropElsewhere: {
            const std::string& source = visible[pick(visible.size())];
            std::vector<std::string> targets{""}; // the form itself
            for (const std::string& name : visible)
                if (name != "Picture1") targets.push_back(name);
            const std::string& target = targets[pick(targets.size())];
            what += " from " + source + " on '" + target + "'";
            status = events.raise(form, target, "DragDrop", {form.find(source), coordinate(), coordinate()});
            EXPECT_FALSE(status.has_value()) << what << ": no handler is named for it";
            break;
        }
        case ClickComplex:
            status = pick(2) == 0 ? events.raise(form, "Picture4", "Click") : Picture4_Click(form);
            reference.clickComplex();
            break;
        case Reset:
            status = pick(2) == 0 ? events.raise(form, "Command1", "Click") : Command1_Click(form);
            reference.reset();
            break;
        case OtherEvent: {
            std::vector<std::string> owners{""};
            for (const std::string& name : visible) owners.push_back(name);
            const std::string& owner = owners[pick(owners.size())];
            const Control* control = owner.empty() ? nullptr : form.find(owner);
            const auto names = control ? eventNames(control->kind()) : formEventNames();
            const std::string_view event = names[pick(names.size())];
            const bool handled = (owner == "Command1" && event == "Click") ||
                                 (owner == "Picture4" && event == "Click") ||
                                 (owner == "Picture1" && event == "DragDrop");
            if (handled) { // those are the kinds above
                --drawn[kind];
                continue;
            }
            what += " " + std::string(event) + " on '" + owner + "'";
            status = events.raise(form, owner, event, {form.find(visible[pick(visible.size())]), 0.0f, 0.0f});
            EXPECT_FALSE(status.has_value()) << what;
            break;
        }
        case kKinds: break;
        }
        ++transitions[{from, reference.state}];

        const Flags now = testing::flagsOf(form);
        const std::string context = "seed " + std::to_string(seed) + ", event " + std::to_string(i) + ": " + what;
        ASSERT_TRUE(!status || *status == kStatusOk) << context;
        ASSERT_TRUE(now == testing::kApart || now == testing::kBound || now == testing::kReleased) << context;
        ASSERT_FALSE(now[1] && now[2]) << context << ": substrate and products together";
        ASSERT_FALSE(now[0] && now[3]) << context << ": enzyme and complex together";
        ASSERT_EQ(now, reference.flags()) << context;
        ASSERT_TRUE(form.Label1().visible() && form.Command1().visible()) << context;
        int changed = 0;
        for (std::size_t p = 0; p < 4; ++p) changed += before[p] != now[p];
        ASSERT_EQ(notices, changed) << context << ": one notice per change, none for a flag already set";
        notices = 0;
        for (const Control& c : form.controls()) ASSERT_EQ(mirror[c.name()], c.visible()) << context << " " << c.name();
        ASSERT_EQ(Temporaries::live(), 0) << context;
        ASSERT_EQ(form.liveReferences(), 0) << context;
        for (const std::string& name : kControls) ASSERT_EQ(events.table(name)->references, 0u) << context;
        ASSERT_TRUE(reports.empty()) << context << ": " << reports.front();
        ++i;
    }

    for (int k = 0; k < kKinds; ++k) std::printf("  %-24s %d\n", kKindNames[k], drawn[static_cast<std::size_t>(k)]);
    // Every edge of the machine was walked many times, so the checks above saw every state.
    for (const auto& edge : {std::pair{State::Apart, State::Bound}, std::pair{State::Bound, State::Released},
                             std::pair{State::Bound, State::Apart}, std::pair{State::Released, State::Apart},
                             std::pair{State::Released, State::Released}, std::pair{State::Apart, State::Apart}})
        EXPECT_GT(transitions[edge], 1000) << "seed " << seed;
}

} // namespace
} // namespace velmora
