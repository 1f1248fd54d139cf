// SPDX-License-Identifier: MIT
#pragma once

#include "model/form_model.h"
#include "runtime/project_description.h"

#include "win32/windows_headers.h"

namespace velmora::win32 {

/*
 * The forms runtime's start on Windows: loads the stored pictures, builds Form1 in a Win32 window
 * and shows it with `showCommand`, and runs the message loop until the window is gone. A failure to
 * start (a damaged picture, a window Windows refuses) is told in one box captioned with the project
 * title. Returns the exit status: 0 after the window was closed, kExitOnError after an error.
 * `refuse` is passed to the window (the test build's injected failure).
 */
int runMain(const ProjectDescription& project, HINSTANCE instance, int showCommand, VisibilityListener refuse = {});

} // namespace velmora::win32
