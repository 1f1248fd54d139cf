// SPDX-License-Identifier: MIT
// Prints every text a screen reader speaks in the lesson, in the language its argument names:
// first "Language<TAB>code" (the language the lesson took, English for a code it does not know),
// then one "what<TAB>text" a line. The controls' names and descriptions, the actions' names,
// every stage sentence (what "where am I?" says with nothing held), every announcement and the
// pick-up, off-target and holding sentences for every heading.
#include "language/language.h"
#include "reaction/lesson_texts.h"

#include <cstdio>
#include <string>

using namespace velmora;

namespace {

void print(const std::string& what, std::string_view text) {
    std::printf("%s\t%.*s\n", what.c_str(), static_cast<int>(text.size()), text.data());
}

} // namespace

int main(int argc, char** argv) {
    const Language l(argc > 1 ? argv[1] : "");
    print("Language", l.code());
    for (const char* control : {"Picture1", "Picture2", "Picture3", "Picture4", "Command1"}) {
        print(std::string(control) + " name", controlText(l, control).name);
        print(std::string(control) + " description", controlText(l, control).description);
    }
    print("Press action", pressActionText(l));
    print("Pick-up action", pickUpActionText(l));
    for (int s = 0; s <= static_cast<int>(Stage::Other); ++s)
        print("Stage " + std::to_string(s), stageText(l, static_cast<Stage>(s)));
    for (int a = 0; a <= static_cast<int>(Announcement::OverTarget); ++a)
        print("Announcement " + std::to_string(a), announcementText(l, static_cast<Announcement>(a)));
    for (int h = -1; h <= 1; ++h)
        for (int v = -1; v <= 1; ++v) {
            const std::string heading = " " + std::to_string(h) + "," + std::to_string(v);
            print("Picked up" + heading, pickedUpText(l, {h, v}));
            print("Off target" + heading, offTargetText(l, {h, v}));
            print("Holding" + heading, holdingText(l, {h, v}));
        }
    return 0;
}
