# SPDX-License-Identifier: MIT
# Creates the build's Wine prefix once, at configure time, so that the first test program started
# at build time (GoogleTest's listing of its cases) does not spend its time limit setting Wine up.
#
# It also has ctest start Wine's server and services before the first test, detached from
# ctest's pipes: started by a test, they would hold its output open for seconds after it ends.
if(NOT VELMORA_WINEPREFIX)
  return()
endif()
get_filename_component(velmora_wine_dir ${VELMORA_WINE64} DIRECTORY)
file(WRITE ${CMAKE_BINARY_DIR}/wine_session.cmake
  "execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${VELMORA_WINEPREFIX} "
  "${velmora_wine_dir}/wineserver -p60 INPUT_FILE /dev/null OUTPUT_FILE /dev/null ERROR_FILE /dev/null)\n"
  "execute_process(COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot "
  "INPUT_FILE /dev/null OUTPUT_FILE /dev/null ERROR_FILE /dev/null)\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/wine_session.cmake)
if(EXISTS ${VELMORA_WINEPREFIX}/system.reg)
  return()
endif()
message(STATUS "Creating the Wine prefix ${VELMORA_WINEPREFIX}")
execute_process(COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init
                RESULT_VARIABLE wineboot_result OUTPUT_QUIET ERROR_QUIET TIMEOUT 300)
# Wine's server writes the new registry when it ends, a few seconds after wineboot: wait for that.
execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${VELMORA_WINEPREFIX} ${velmora_wine_dir}/wineserver -w
                TIMEOUT 120)
if(NOT wineboot_result EQUAL 0 OR NOT EXISTS ${VELMORA_WINEPREFIX}/system.reg)
  message(FATAL_ERROR "Wine could not create its prefix ${VELMORA_WINEPREFIX} (${wineboot_result}).")
endif()
