# SPDX-License-Identifier: MIT
# Warnings every target of ours is built with.
add_library(velmora_warnings INTERFACE)
target_compile_options(velmora_warnings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Wno-missing-field-initializers>)
