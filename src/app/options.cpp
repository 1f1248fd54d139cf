// SPDX-License-Identifier: MIT
#include "app/options.h"

#include "reaction/feedback.h"

#include <optional>

namespace velmora {

Options parseOptions(int argc, const char* const* argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (const std::optional<Aid> aid = aidPresetBy(argument))
            (*aid == Aid::Voice ? options.voice : options.sound) = true;
        if (argument == "--help" || argument == "-h") options.help = true;
    }
    return options;
}

std::string_view helpText() {
    return "Usage: velmora [--voice] [--sound]\n"
           "Tessivar: an enzyme's catalytic cycle in three pictures.\n"
           "\n"
           "  --voice   read each step aloud with the desktop's speech service\n"
           "            (not while a screen reader runs: it reads the steps already)\n"
           "  --sound   play a short sound at each step\n"
           "  -h, --help  print this help and end\n"
           "\n"
           "Both can be switched on and off in the window's menu: a right click,\n"
           "Shift+F10 or the Menu key. Qt's own options, such as -platform, apply too.\n";
}

} // namespace velmora
