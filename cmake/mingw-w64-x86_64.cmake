# SPDX-License-Identifier: MIT
# Cross build for 64-bit Windows with MinGW-w64 (Debian g++-mingw-w64-x86-64-posix), whose
# executables run here under Wine (Debian wine64).
#   cmake --preset mingw && cmake --build --preset mingw && ctest --preset mingw
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELMORA_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix flavour: its libstdc++ has std::thread and std::mutex.
set(CMAKE_C_COMPILER ${VELMORA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: the executables need no MinGW DLLs beside them, under Wine or on Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs (and GoogleTest's listing of their cases) run through Wine, in a prefix of the
# build's own so that nothing in the home folder is needed or touched. Wine's Mono and Gecko
# installers are switched off: a console program needs neither. wine_retry.sh passes the output
# and status on, and retries only a run that passed and then lost Wine's loader at exit.
find_program(VELMORA_WINE64 NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VELMORA_WINE64)
  set(VELMORA_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env WINEPREFIX=${VELMORA_WINEPREFIX} WINEDEBUG=-all
      "WINEDLLOVERRIDES=mscoree,mshtml=" sh ${CMAKE_CURRENT_LIST_DIR}/wine_retry.sh ${VELMORA_WINE64})
endif()
