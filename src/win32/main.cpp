// SPDX-License-Identifier: MIT
#include "runtime/project_description.h"
#include "win32/run_main.h"

// The command line may preset the voice (--voice) and the sounds (--sound).
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    return velmora::win32::runMain(velmora::kVelmoraProject, instance, showCommand,
                                   velmora::win32::optionsFrom(commandLine != nullptr ? commandLine : ""));
}
