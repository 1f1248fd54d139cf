// SPDX-License-Identifier: MIT
#pragma once

#include "runtime/project_description.h"

namespace velmora {

/*
 * The forms runtime's start: builds the project's start-up form from its stored description,
 * shows it, dispatches events to the handlers until the last form closes, and reports a failing
 * handler through the error policy. Returns the process exit status: 0 after the window was
 * closed, kExitOnError after an error. --voice and --sound preset the program's own voice and
 * sounds; --help prints the usage instead. Other arguments than these and Qt's own are ignored.
 */
int runMain(const ProjectDescription& project, int argc, char** argv);

} // namespace velmora
