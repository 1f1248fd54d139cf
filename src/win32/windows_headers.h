// SPDX-License-Identifier: MIT
#pragma once

// Every Windows header the program uses, in one place. objbase.h defines `interface` as a macro
// for its COM declarations, which would rename members of the core; it is undefined once the
// headers that need it are in.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>
#include <windowsx.h>

#undef interface
