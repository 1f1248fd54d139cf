// SPDX-License-Identifier: MIT
// The lesson's words, once, in English. Each language.tr() marks a text that xgettext takes into
// po/velmora.pot; the comments beginning "TRANSLATORS:" go there with it.
#include "reaction/lesson_texts.h"

namespace velmora {

ControlText controlText(const Language& language, std::string_view control) {
    if (control == "Picture1")
        // TRANSLATORS: The names and descriptions a screen reader gives the pictures. The pupils
        // are about ten years old: short sentences, the words of their biology lessons. Every
        // text the screen reader speaks is read with its symbols: a full stop, not a colon; no
        // dash, no quote marks; a hyphen only where your language's screen reader keeps it silent.
        return {language.tr("Enzyme"),
                language.tr("The enzyme is a black block with a notch in its top edge. The notch is the active "
                            "site, where the substrate fits.")};
    if (control == "Picture2")
        return {language.tr("Substrate"),
                language.tr("The substrate is a red block with a tab that fits the enzyme's notch. Drag it onto "
                            "the enzyme with the mouse. Or press Space to pick it up, move it with the arrow "
                            "keys and press Space again to drop it.")};
    if (control == "Picture3")
        return {language.tr("Products"), language.tr("The products are two red pieces that the enzyme has released.")};
    if (control == "Picture4")
        return {language.tr("Complex of enzyme and substrate"),
                language.tr("The substrate sits in the enzyme's notch. Together they are the complex of enzyme and "
                            "substrate. Click it, or press Space, to release the products.")};
    if (control == "Command1") return {language.tr("caption", "Reset"), language.tr("Starts the lesson again.")};
    if (control == "Label1") return {"Tessivar", ""};
    return {};
}

std::string_view captionText(const Language& language, const Control& control) {
    // TRANSLATORS: The button that starts the lesson again. It is 81 pixels wide: one short word.
    if (control.kind() == ControlKind::PushButton) return language.tr("caption", "Reset");
    return control.record().caption;
}

std::string_view pictureWordText(const Language& language, PictureWord word) {
    switch (word) {
    // TRANSLATORS: The words drawn small in the pictures, on the enzyme, on the substrate and
    // under the products: one word each, no longer than the English.
    case PictureWord::Enzyme: return language.tr("picture", "Enzyme");
    case PictureWord::Substrate: return language.tr("picture", "Substrate");
    case PictureWord::Product: return language.tr("picture", "Product");
    }
    return {};
}

std::string_view pageTitleText(const Language& language) {
    // TRANSLATORS: The lesson's name, as the web page's title and the menu entry show it. It is a
    // name: it stays as it is in a language written in Latin letters.
    return language.tr("Tessivar");
}

std::string_view stageText(const Language& language, Stage stage) {
    switch (stage) {
    case Stage::Apart:
        return language.tr("The enzyme and the substrate are apart. Move the substrate onto the enzyme.");
    case Stage::Bound:
        return language.tr("The substrate is bound to the enzyme. This is the complex of enzyme and substrate. "
                           "To release the products, click the complex or press Space.");
    case Stage::Released:
        // TRANSLATORS: "Reset" is the button's caption: use your translation of it, without quote marks.
        return language.tr("The products are released and the enzyme is unchanged, ready for another substrate. "
                           "Press Reset to start again.");
    case Stage::Other: break;
    }
    return language.tr("The lesson is between two stages.");
}

std::string_view announcementText(const Language& language, Announcement announcement) {
    switch (announcement) {
    case Announcement::Bound:
        return language.tr("The substrate is bound to the enzyme. They form the complex of enzyme and substrate. "
                           "Press Space or click the complex to release the products.");
    case Announcement::Released:
        return language.tr("The products are released. The enzyme is back, unchanged, ready for another substrate.");
    case Announcement::Reset: return language.tr("The lesson starts again. The enzyme and the substrate are apart.");
    case Announcement::Missed:
        return language.tr("Not on the enzyme, so nothing changed. The substrate is back in its place.");
    case Announcement::Cancelled: return language.tr("Substrate put back. Nothing changed.");
    case Announcement::OverTarget: return language.tr("Over the enzyme. Press Space to drop.");
    }
    return {};
}

namespace {

// Where the enzyme lies and the arrow keys that lead there: "below. Press Down arrow.".
std::string_view wayTo(const Language& language, Heading heading) {
    if (heading.vertical > 0) {
        // TRANSLATORS: Where the enzyme lies from the substrate the pupil holds, and the arrow
        // keys that lead there. Each ends the sentences "The enzyme is %s" and "It is %s".
        if (heading.horizontal > 0) return language.tr("below and to the right. Press Down and Right arrows.");
        if (heading.horizontal < 0) return language.tr("below and to the left. Press Down and Left arrows.");
        return language.tr("below. Press Down arrow.");
    }
    if (heading.vertical < 0) {
        if (heading.horizontal > 0) return language.tr("above and to the right. Press Up and Right arrows.");
        if (heading.horizontal < 0) return language.tr("above and to the left. Press Up and Left arrows.");
        return language.tr("above. Press Up arrow.");
    }
    if (heading.horizontal > 0) return language.tr("to the right. Press Right arrow.");
    return language.tr("to the left. Press Left arrow.");
}

bool isOver(Heading heading) { return heading.vertical == 0 && heading.horizontal == 0; }

} // namespace

std::string pickedUpText(const Language& language, Heading towardsEnzyme) {
    if (isOver(towardsEnzyme))
        return std::string(language.tr("Substrate picked up. It is over the enzyme. Press Space to drop."));
    // TRANSLATORS: %s is one of the places "below. Press Down arrow." and so on.
    return withValue(language.tr("Substrate picked up. The enzyme is %s"), wayTo(language, towardsEnzyme));
}

std::string offTargetText(const Language& language, Heading towardsEnzyme) {
    if (isOver(towardsEnzyme)) return std::string(announcementText(language, Announcement::OverTarget));
    // TRANSLATORS: %s is one of the places "below. Press Down arrow." and so on.
    return withValue(language.tr("Not over the enzyme. It is %s"), wayTo(language, towardsEnzyme));
}

std::string holdingText(const Language& language, Heading towardsEnzyme) {
    if (isOver(towardsEnzyme))
        return std::string(language.tr(
            "You are holding the substrate. It is over the enzyme. Press Space to drop. Escape puts it back."));
    // TRANSLATORS: %s is one of the places "below. Press Down arrow." and so on.
    return withValue(language.tr("You are holding the substrate. The enzyme is %s Escape puts it back."),
                     wayTo(language, towardsEnzyme));
}

std::string damagedPictureText(const Language& language, std::string_view failure) {
    std::string text(language.tr("A stored picture is damaged and the lesson cannot start."));
    if (!failure.empty()) text.append("\n\n").append(failure);
    return text;
}

std::string_view lessonEndedText(const Language& language) {
    return language.tr("The lesson has stopped after an error. Reload the page to start again.");
}

std::string errorBoxText(const Language& language, const RunTimeError& error) {
    // TRANSLATORS: %s is the error's number. The description that follows stays English: it
    // names the program's parts, for whoever looks into the error.
    return withValue(language.tr("Run-time error '%s':"), std::to_string(error.number())) + "\n\n" +
           error.description();
}

// TRANSLATORS: The button that closes a message box.
std::string_view okText(const Language& language) { return language.tr("OK"); }

std::string_view pressActionText(const Language& language) {
    // TRANSLATORS: What a screen reader offers to do with the complex, which acts as a button: the
    // word the system uses for pressing a button.
    return language.tr("action", "Press");
}

std::string_view pickUpActionText(const Language& language) {
    // TRANSLATORS: What a screen reader offers to do with the substrate: pick it up, as Space
    // does, to move it with the arrow keys and drop it with Space again.
    return language.tr("action", "Pick up");
}

std::string_view cannotRunText(const Language& language) {
    // TRANSLATORS: What the web page says, before the lesson itself runs, when the browser cannot
    // run it. Chrome, Edge, Firefox and Safari are names.
    return language.tr("This lesson needs a browser with JavaScript and WebAssembly switched on: please open it in an "
                       "up-to-date Chrome, Edge, Firefox or Safari.");
}

std::string_view cannotLoadText(const Language& language) {
    // TRANSLATORS: The lesson's files did not arrive (no network, a server that failed). The
    // button "Try again" follows: use your translation of it.
    return language.tr("The lesson could not be loaded. Check the connection and try again.");
}

std::string_view loadingText(const Language& language) { return language.tr("The lesson is loading\u2026"); }

std::string_view fromFileText(const Language& language) {
    // TRANSLATORS: The web page opened from a file, where the browser will not run it.
    // "velmora.html" is a file's name and stays as it is.
    return language.tr("This browser does not run the lesson from a file on the disk. Open velmora.html "
                       "instead, the lesson in a single file, or put these files on a web server and open the "
                       "lesson from there.");
}

// TRANSLATORS: The button that fetches the lesson's files again.
std::string_view tryAgainText(const Language& language) { return language.tr("Try again"); }

std::string_view aidSwitchText(const Language& language, Aid aid) {
    // TRANSLATORS: Two switches beside the lesson (on the web page) or in its window's menu (the
    // desktop): the program reads each step aloud with the computer's voice, and plays a short
    // sound at each step. Short, as a menu item or a check box says it.
    if (aid == Aid::Voice) return language.tr("switch", "Read each step aloud");
    return language.tr("switch", "Play sounds");
}

std::string_view noVoiceText(const Language& language) {
    // TRANSLATORS: Shown once, as text, when the pupil switches the voice on and the computer has
    // no voice that speaks this language.
    return language.tr("This computer has no voice for this language, so the steps are not read aloud.");
}

} // namespace velmora
