# SPDX-License-Identifier: MIT
# With VELMORA_DEBIAN_BUILDFLAGS, everything is compiled and linked with the flags Debian builds
# its packages with, as dpkg-buildflags (package dpkg-dev) gives them at configure time:
# optimisation, hardening (stack protector, _FORTIFY_SOURCE, read-only relocations) and source
# paths made relative. DEB_BUILD_MAINT_OPTIONS chooses more, e.g. hardening=+all for immediate
# binding (the package preset sets it).
option(VELMORA_DEBIAN_BUILDFLAGS "Compile and link with the flags of dpkg-buildflags" OFF)
if(VELMORA_DEBIAN_BUILDFLAGS)
  find_program(DPKG_BUILDFLAGS dpkg-buildflags)
  if(NOT DPKG_BUILDFLAGS)
    message(FATAL_ERROR "VELMORA_DEBIAN_BUILDFLAGS needs dpkg-buildflags (Debian package dpkg-dev)")
  endif()
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    # Run in the source folder: the file-prefix map it gives is for the folder it runs in.
    execute_process(COMMAND ${DPKG_BUILDFLAGS} --get ${kind} WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE debian_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  message(STATUS "dpkg-buildflags: ${debian_CPPFLAGS} ${debian_CXXFLAGS} | ${debian_LDFLAGS}")
  string(APPEND CMAKE_CXX_FLAGS " ${debian_CPPFLAGS} ${debian_CXXFLAGS}")
  string(APPEND CMAKE_EXE_LINKER_FLAGS " ${debian_LDFLAGS}")
endif()
