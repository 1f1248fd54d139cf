// SPDX-License-Identifier: MIT
// Velmora.exe with one injected failure (tests/win32/refusal.h), for the test of the error box.
#include "refusal.h"
#include "win32/run_main.h"

#include <utility>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    velmora::win32::RunOptions options;
    options.refuse = velmora::refuseShowingTheSubstrate;
    return velmora::win32::runMain(velmora::kVelmoraProject, instance, showCommand, std::move(options));
}
