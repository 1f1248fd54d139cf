// SPDX-License-Identifier: MIT
#pragma once

#include "model/form_model.h"

#include <map>
#include <string>
#include <vector>

namespace velmora::testing {

// The visible flag of every control, by name.
using Visibility = std::map<std::string, bool>;

// One visibility assignment a handler makes.
struct Step {
    std::string control;
    bool visible;
};

// What each handler sets, in order.
inline std::vector<Step> resetSteps() {
    return {{"Picture1", true}, {"Picture2", true}, {"Picture3", false}, {"Picture4", false}};
}
inline std::vector<Step> complexClickSteps() { return {{"Picture4", false}, {"Picture3", true}, {"Picture1", true}}; }
inline std::vector<Step> dropSteps(const std::string& source) {
    return {{source, false}, {"Picture1", false}, {"Picture4", true}};
}

inline Visibility visibilityOf(const FormModel& form) {
    Visibility v;
    for (const Control& c : form.controls()) v[c.name()] = c.visible();
    return v;
}

// The notices a handler sends from `state`: a step that finds the flag already set tells no one.
inline std::vector<Step> noticesFrom(Visibility state, const std::vector<Step>& steps) {
    std::vector<Step> notices;
    for (const Step& s : steps)
        if (state.at(s.control) != s.visible) {
            state[s.control] = s.visible;
            notices.push_back(s);
        }
    return notices;
}

} // namespace velmora::testing
