// SPDX-License-Identifier: MIT
// Prints what the lesson says, one "key<TAB>value" a line, for the end-to-end tests to compare
// with what the accessibility bus delivers: the core's own sentences and the controls' names, in
// the language the environment asks for, as the program chooses it; the arrow keys that take the
// substrate, picked up from the keyboard, over the enzyme; and the focus mark's colour.
#include "language/language.h"
#include "model/form_model.h"
#include "reaction/focus_mark.h"
#include "reaction/form1_events.h"
#include "reaction/keyboard_hold.h"
#include "reaction/lesson_texts.h"

#include <cstdio>
#include <string>

using namespace velmora;

namespace {

void print(const char* key, std::string_view text) {
    std::printf("%s\t%.*s\n", key, static_cast<int>(text.size()), text.data());
}

} // namespace

int main() {
    const Language language(languageForEnvironment());
    print("Language", language.code());
    print("Bound", announcementText(language, Announcement::Bound));
    print("Released", announcementText(language, Announcement::Released));
    print("Reset", announcementText(language, Announcement::Reset));
    print("Missed", announcementText(language, Announcement::Missed));
    print("Cancelled", announcementText(language, Announcement::Cancelled));
    print("OverTarget", announcementText(language, Announcement::OverTarget));
    print("Apart", stageText(language, Stage::Apart));
    print("Bound stage", stageText(language, Stage::Bound));
    print("Released stage", stageText(language, Stage::Released));

    FormModel model;
    for (const Control& c : model.controls()) print(c.name().c_str(), controlText(language, c.name()).name);
    const Form1Events events(model);
    PixelRect target;
    for (const Control& c : model.controls())
        if (events.handles(c.name(), FormEvent::DragDrop)) target = pixelRectOf(c);
    const PixelRect client = clientRectOf(model.description());
    KeyboardHold hold(language, pixelRectOf(*model.find("Picture2")), target, client.width, client.height);
    print("PickedUp", pickedUpText(language, hold.towardsTarget()));
    std::string route;
    for (int i = 0; i < 100 && !hold.overTarget(); ++i) {
        const Heading heading = hold.towardsTarget();
        // One arrow at a time: across first, then up or down.
        const int dx = heading.horizontal * KeyboardHold::kStep;
        const int dy = dx == 0 ? heading.vertical * KeyboardHold::kStep : 0;
        (void)hold.moveBy(dx, dy);
        route += dx < 0 ? "Left " : dx > 0 ? "Right " : dy < 0 ? "Up " : "Down ";
    }
    print("Route", route);
    const std::string ring = std::to_string(kFocusRingColour.r) + " " + std::to_string(kFocusRingColour.g) + " " +
                             std::to_string(kFocusRingColour.b);
    print("FocusRing", ring);
    return 0;
}
