// SPDX-License-Identifier: MIT
#pragma once

#include "language/language.h"
#include "model/picture_id.h"
#include "model/run_time_error.h"
#include "reaction/feedback.h"
#include "reaction/form_geometry.h"
#include "reaction/stage.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// Every text here is in the language it is given (language/language.h).

// What assistive technology is told about a control: a short name and what it shows or does.
struct ControlText {
    std::string_view name;
    std::string_view description;
};

// The text for the named control of Form1 (UTF-8); empty for a name it does not know.
ControlText controlText(const Language& language, std::string_view control);

// The caption `control` shows: the button's word for what it does; the heading, the lesson's
// name, as stored.
std::string_view captionText(const Language& language, const Control& control);

// A word drawn in the pictures.
std::string_view pictureWordText(const Language& language, PictureWord word);

// The title of the web page.
std::string_view pageTitleText(const Language& language);

// Where the lesson stands and what to do next, in one or two sentences.
std::string_view stageText(const Language& language, Stage stage);

// What the lesson says aloud as it goes on. Every presentation takes its words from here.
enum class Announcement : std::uint8_t {
    Bound,      // the substrate was dropped on the enzyme and the complex formed
    Released,   // the complex released the products
    Reset,      // the lesson went back to the start
    Missed,     // a drop landed anywhere but on the enzyme
    Cancelled,  // a hold or a drag was given up (Escape, the focus or the window lost, the pointer taken away)
    OverTarget, // the held substrate's drop point came over the enzyme
};

std::string_view announcementText(const Language& language, Announcement announcement);

// "Substrate picked up. The enzyme is below. Press Down arrow." (or "... over the enzyme ...").
std::string pickedUpText(const Language& language, Heading towardsEnzyme);
// "Not over the enzyme. It is below. Press Down arrow."
std::string offTargetText(const Language& language, Heading towardsEnzyme);
// The answer to "where am I?" while the substrate is held: "You are holding the substrate. The
// enzyme is below. Press Down arrow. Escape puts it back."
std::string holdingText(const Language& language, Heading towardsEnzyme);

// What every presentation shows when a stored picture cannot be decoded and the lesson cannot
// start: the sentence and, when `failure` (what the decoder says is wrong) is not empty, a blank
// line and `failure`.
std::string damagedPictureText(const Language& language, std::string_view failure);
// What a presentation says once an error has ended the lesson.
std::string_view lessonEndedText(const Language& language);
// The text of the error box for a run-time error: "Run-time error '<number>':", a blank line,
// and the description.
std::string errorBoxText(const Language& language, const RunTimeError& error);
// The caption of the button that closes a message box.
std::string_view okText(const Language& language);
// The name of the action that activates a picture that acts as a button (the complex), where the
// platform lets the program name it.
std::string_view pressActionText(const Language& language);
// The name of the action that picks up the substrate from the keyboard's place, as Space does.
std::string_view pickUpActionText(const Language& language);

// What the web page says when the browser cannot run the lesson at all (no modules, no
// WebAssembly), and when its files could not be fetched. The page holds them in every language,
// chosen before the lesson runs; only its <noscript> copy of the first, which no script can
// choose, is English.
std::string_view cannotRunText(const Language& language);
std::string_view cannotLoadText(const Language& language);
// What the web page says while its files are still on the way, when the browser refuses to run
// it from a file on the disk, and the caption of the button that fetches the files again.
std::string_view loadingText(const Language& language);
std::string_view fromFileText(const Language& language);
std::string_view tryAgainText(const Language& language);

// The label of the switch for `aid`: "Read each step aloud", "Play sounds".
std::string_view aidSwitchText(const Language& language, Aid aid);
// What is shown once where the platform has no voice for the lesson's language.
std::string_view noVoiceText(const Language& language);

} // namespace velmora
