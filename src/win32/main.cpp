// SPDX-License-Identifier: MIT
#include "runtime/project_description.h"
#include "win32/run_main.h"

// The program takes no command line.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return velmora::win32::runMain(velmora::kVelmoraProject, instance, showCommand);
}
