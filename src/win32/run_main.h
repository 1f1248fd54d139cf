// SPDX-License-Identifier: MIT
#pragma once

#include "model/form_model.h"
#include "reaction/feedback.h"
#include "runtime/project_description.h"
#include "win32/aids.h"

#include "win32/windows_headers.h"

namespace velmora::win32 {

// What a run is given besides the lesson: the presets of the voice and the sounds, where they speak
// and sound, and the test build's injected failure (`refuse`, asked first about every visibility
// change).
struct RunOptions {
    Feedback presets;
    AidPlatform aids = systemAids();
    VisibilityListener refuse;
};

// The options of a command line: "--voice" presets the voice, "--sound" the sounds; every other
// word is left alone, as the program took no command line before.
RunOptions optionsFrom(std::string_view commandLine);

/*
 * The forms runtime's start on Windows: loads the stored pictures, builds Form1 in a Win32 window
 * and shows it with `showCommand`, and runs the message loop until the window is gone. A failure to
 * start (a damaged picture, a window Windows refuses) is told in one box captioned with the project
 * title. Returns the exit status: 0 after the window was closed, kExitOnError after an error.
 */
int runMain(const ProjectDescription& project, HINSTANCE instance, int showCommand, RunOptions options);

} // namespace velmora::win32
