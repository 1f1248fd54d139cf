# SPDX-License-Identifier: MIT
# cmake -DSOURCE_DIR=... -P check_licence_lines.cmake
# Fails, naming each file, where a source file of the tree has no SPDX licence line among its
# first three lines. Source files are the code, build, script, desktop and translation files;
# images, the stored records and pictures' words, JSON and Markdown carry no comments and are
# left out.
# Sets this script's policies: GLOB_RECURSE then leaves symbolic links to folders alone (a
# Wine prefix in build-mingw/ links its drive Z: to /).
cmake_minimum_required(VERSION 3.25)
set(patterns
    *.cpp *.h *.mjs *.js *.css *.html *.rc *.cmake CMakeLists.txt *.sh *.desktop *.xml *.1 *.in *.po *.pot
    scripts/* .ci/* packaging/lintian-overrides po/LINGUAS)
set(files)
foreach(pattern IN LISTS patterns)
  file(GLOB_RECURSE found RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${pattern})
  list(APPEND files ${found})
endforeach()
# Build trees, installed npm packages and the CMake cache are not the project's sources.
list(FILTER files EXCLUDE REGEX "^(build[^/]*|web/node_modules|\\.cache|\\.git)/")
list(FILTER files EXCLUDE REGEX "/CMakeFiles/|\\.md$|\\.json$")
list(REMOVE_DUPLICATES files)
list(LENGTH files count)
if(count LESS 50)
  message(FATAL_ERROR "Only ${count} source files found under ${SOURCE_DIR}: wrong folder?")
endif()
set(missing)
foreach(file IN LISTS files)
  file(STRINGS ${SOURCE_DIR}/${file} head LIMIT_COUNT 3)
  if(NOT head MATCHES "SPDX-License-Identifier: MIT")
    list(APPEND missing ${file})
  endif()
endforeach()
if(missing)
  list(JOIN missing "\n  " listed)
  message(FATAL_ERROR "No 'SPDX-License-Identifier: MIT' line at the top of:\n  ${listed}")
endif()
message(STATUS "${count} source files carry the licence line")
