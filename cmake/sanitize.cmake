# SPDX-License-Identifier: MIT
# AddressSanitizer (leak detection included) and UndefinedBehaviorSanitizer for every target:
# the libraries, the program, the tools and the tests. Any report ends the program, so a test
# with a report fails. .ci/run sets the run-time options (ASAN_OPTIONS, UBSAN_OPTIONS,
# LSAN_OPTIONS) it runs the suite with.
if(VELMORA_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    message(FATAL_ERROR "VELMORA_SANITIZE needs GCC or clang (compiler is ${CMAKE_CXX_COMPILER_ID})")
  endif()
  if(VELMORA_FUZZ)
    message(FATAL_ERROR "VELMORA_SANITIZE and VELMORA_FUZZ go in separate build directories")
  endif()
  message(STATUS "Building with AddressSanitizer and UBSan")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer -fno-optimize-sibling-calls)
  add_link_options(-fsanitize=address,undefined)
  # GCC's flow analysis is thrown off by the instrumentation and reports std::variant and
  # std::function members as maybe uninitialized; the plain build keeps that warning.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
endif()
