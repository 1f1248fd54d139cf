// SPDX-License-Identifier: MIT
#include "app/run_main.h"
#include "runtime/project_description.h"

int main(int argc, char** argv) { return velmora::runMain(velmora::kVelmoraProject, argc, argv); }
