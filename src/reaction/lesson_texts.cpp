// SPDX-License-Identifier: MIT
#include "reaction/lesson_texts.h"

namespace velmora {

ControlText controlText(std::string_view control) {
    if (control == "Picture1")
        return {"Enzyme", "The enzyme: a black block with a notch in its top edge, the active site where the "
                          "substrate fits."};
    if (control == "Picture2")
        return {"Substrate", "The substrate: a red block with a tab that fits the enzyme's notch. Drag it onto the "
                             "enzyme with the mouse, or press Space to pick it up, move it with the arrow keys "
                             "and press Space again to drop it."};
    if (control == "Picture3") return {"Products", "The products: two red pieces that the enzyme has released."};
    if (control == "Picture4")
        return {"Enzyme\u2013substrate complex",
                "The enzyme\u2013substrate complex: the substrate seated in the enzyme's notch. Click it, or "
                "press Space, to release the products."};
    if (control == "Command1") return {"Reset", "Starts the lesson again."};
    if (control == "Label1") return {"Tessivar", ""};
    return {};
}

std::string_view stageText(Stage stage) {
    switch (stage) {
    case Stage::Apart: return "The enzyme and the substrate are apart. Move the substrate onto the enzyme.";
    case Stage::Bound:
        return "The substrate is bound to the enzyme: this is the enzyme\u2013substrate complex. "
               "Activate the complex to release the products.";
    case Stage::Released:
        return "The products are released and the enzyme is unchanged, ready for another substrate. "
               "Press Reset to start again.";
    case Stage::Other: break;
    }
    return "The lesson is between two stages.";
}

std::string_view announcementText(Announcement announcement) {
    switch (announcement) {
    case Announcement::Bound:
        return "The substrate is bound to the enzyme. They form the enzyme\u2013substrate complex. "
               "Press Space or click the complex to release the products.";
    case Announcement::Released:
        return "The products are released. The enzyme is back, unchanged, ready for another substrate.";
    case Announcement::Reset: return "The lesson starts again: the enzyme and the substrate are apart.";
    case Announcement::Missed: return "Not on the enzyme \u2014 nothing changed. The substrate is back in its place.";
    case Announcement::Cancelled:
        return "Put down without a drop \u2014 nothing changed. The substrate is back in its place.";
    case Announcement::OverTarget: return "Over the enzyme. Press Space to drop.";
    }
    return {};
}

namespace {

// "below: press Down arrow", "above and to the left: press Up and Left arrows".
std::string wayTo(Heading heading) {
    std::string where;
    std::string keys;
    if (heading.vertical != 0) {
        where = heading.vertical > 0 ? "below" : "above";
        keys = heading.vertical > 0 ? "Down" : "Up";
    }
    if (heading.horizontal != 0) {
        if (!where.empty()) {
            where += " and ";
            keys += " and ";
        }
        where += heading.horizontal > 0 ? "to the right" : "to the left";
        keys += heading.horizontal > 0 ? "Right" : "Left";
    }
    const bool both = heading.vertical != 0 && heading.horizontal != 0;
    return where + ": press " + keys + (both ? " arrows." : " arrow.");
}

bool isOver(Heading heading) { return heading.vertical == 0 && heading.horizontal == 0; }

} // namespace

std::string pickedUpText(Heading towardsEnzyme) {
    if (isOver(towardsEnzyme)) return "Substrate picked up. It is over the enzyme: press Space to drop.";
    return "Substrate picked up. The enzyme is " + wayTo(towardsEnzyme);
}

std::string offTargetText(Heading towardsEnzyme) {
    if (isOver(towardsEnzyme)) return std::string(announcementText(Announcement::OverTarget));
    return "Not over the enzyme. It is " + wayTo(towardsEnzyme);
}

std::string holdingText(Heading towardsEnzyme) {
    const std::string where =
        isOver(towardsEnzyme) ? "It is over the enzyme: press Space to drop." : "The enzyme is " + wayTo(towardsEnzyme);
    return "You are holding the substrate. " + where + " Escape puts it back.";
}

std::string_view damagedPictureText() { return "A stored picture is damaged and the lesson cannot start."; }

std::string_view lessonEndedText() { return "The lesson has stopped after an error. Reload the page to start again."; }

std::string errorBoxText(const RunTimeError& error) {
    return "Run-time error '" + std::to_string(error.number()) + "':\n\n" + error.description();
}

std::string_view okText() { return "OK"; }

std::string_view draggableRoleText() { return "draggable item"; }

std::string_view pressActionText() { return "Press"; }

std::string_view cannotRunText() {
    return "This lesson needs a browser with JavaScript and WebAssembly switched on: please open it in an "
           "up-to-date Chrome, Edge, Firefox or Safari.";
}

std::string_view cannotLoadText() { return "The lesson could not be loaded. Please reload the page."; }

} // namespace velmora
