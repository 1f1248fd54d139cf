// SPDX-License-Identifier: MIT
#include "app/project_description.h"
#include "app/run_main.h"

int main(int argc, char** argv) { return velmora::runMain(velmora::kVelmoraProject, argc, argv); }
