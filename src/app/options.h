// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace velmora {

// The program's own command-line options. Anything else (Qt's options among it) is left alone.
struct Options {
    bool voice = false; // --voice: read each step aloud from the start
    bool sound = false; // --sound: play each step's sound from the start
    bool help = false;  // --help or -h: print the usage and end
};

// The options among the arguments (argv[0] is the program). Never throws.
Options parseOptions(int argc, const char* const* argv);

// What --help prints: the usage, one line per option, and where the switches are in the window.
std::string_view helpText();

} // namespace velmora
