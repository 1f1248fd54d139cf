// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace velmora {

// What the program hands the forms runtime at launch. The runtime shows Form1, the one form,
// with no start-up procedure, on one thread.
struct ProjectDescription {
    std::string_view title;          // caption of run-time error boxes
    std::string_view executableName; // the application name the desktop is told
};

// Exit status of a program that ended on an error (closing the window ends with 0).
inline constexpr int kExitOnError = 1;

inline constexpr ProjectDescription kVelmoraProject{
    .title = "Velmora",
    .executableName = "Velmora",
};

} // namespace velmora
