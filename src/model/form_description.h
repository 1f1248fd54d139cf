// SPDX-License-Identifier: MIT
#pragma once

#include "model/control_record.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

enum class StartPosition : std::uint8_t { SystemDefault, CenterScreen };

/*
 * Everything stored about a form: its own properties and its controls, listed in stacking order
 * from top to bottom. Lengths are twips.
 */
struct FormDescription {
    std::string name;
    std::string caption;
    OleColor backColor = 0;
    std::int32_t clientWidth = 0;
    std::int32_t clientHeight = 0;
    std::int32_t designLeft = 0; // kept with the form; the window system places the window
    std::int32_t designTop = 0;
    StartPosition startPosition = StartPosition::SystemDefault;
    std::string linkTopic;
    bool resizable = true;
    std::vector<ControlRecord> controls;
};

// The program's one form, Form1, exactly as stored with the program.
const FormDescription& form1Description();

} // namespace velmora
