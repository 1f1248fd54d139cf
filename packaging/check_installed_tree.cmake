# SPDX-License-Identifier: MIT
# Installs the build into a staging folder and checks the tree a package would hold.
#   cmake -DBUILD_DIR=<build> -DAPPSTREAMCLI=<appstreamcli> -DSTAGE=<folder> "-DICON_SIZES=<sizes>"
#         "-DLINGUAS=<language codes>" -P check_installed_tree.cmake
file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${STAGE}/usr"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc})")
endif()

set(expected
  usr/bin/velmora
  usr/share/applications/velmora.desktop
  usr/share/metainfo/org.tessivar.velmora.metainfo.xml
  usr/share/doc/velmora/copyright
  usr/share/lintian/overrides/velmora
  usr/share/man/man1/velmora.1.gz
  usr/share/doc/velmora/changelog.gz
  usr/share/doc/velmora/changelog.Debian.gz)
foreach(size IN LISTS ICON_SIZES)
  list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/velmora.png)
endforeach()
foreach(path IN LISTS expected)
  if(NOT EXISTS "${STAGE}/${path}")
    message(FATAL_ERROR "missing from the installed tree: ${path}")
  endif()
endforeach()

# Each icon must be the size its folder names.
foreach(size IN LISTS ICON_SIZES)
  file(READ "${STAGE}/usr/share/icons/hicolor/${size}x${size}/apps/velmora.png" header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 32 8 width_hex)
  string(SUBSTRING "${header}" 40 8 height_hex)
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  if(NOT width EQUAL size OR NOT height EQUAL size)
    message(FATAL_ERROR "icon in ${size}x${size} is ${width}x${height}")
  endif()
endforeach()

# The desktop entry must start an installed program and name an installed icon.
file(STRINGS "${STAGE}/usr/share/applications/velmora.desktop" exec_line REGEX "^Exec=")
file(STRINGS "${STAGE}/usr/share/applications/velmora.desktop" icon_line REGEX "^Icon=")
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" exec_program "${exec_line}")
string(REGEX REPLACE "^Icon=" "" icon_name "${icon_line}")
if(NOT EXISTS "${STAGE}/usr/bin/${exec_program}")
  message(FATAL_ERROR "the desktop entry starts '${exec_program}', which is not installed in usr/bin")
endif()
if(NOT EXISTS "${STAGE}/usr/share/icons/hicolor/48x48/apps/${icon_name}.png")
  message(FATAL_ERROR "the desktop entry names icon '${icon_name}', which is not installed")
endif()

# The menu entry and the software centres speak every language of the lesson.
file(READ "${STAGE}/usr/share/applications/velmora.desktop" desktop)
file(READ "${STAGE}/usr/share/metainfo/org.tessivar.velmora.metainfo.xml" metainfo)
foreach(code IN LISTS LINGUAS)
  foreach(key IN ITEMS Name GenericName Comment Keywords)
    string(FIND "${desktop}" "\n${key}[${code}]=" at)
    if(at LESS 0)
      message(FATAL_ERROR "the desktop entry has no ${key}[${code}]")
    endif()
  endforeach()
  string(FIND "${metainfo}" "<summary xml:lang=\"${code}\">" at)
  if(at LESS 0)
    message(FATAL_ERROR "the metainfo has no summary in ${code}")
  endif()
endforeach()

# appstreamcli checks the launchable, the icon and the metainfo together.
execute_process(COMMAND "${APPSTREAMCLI}" validate-tree --no-net --pedantic --no-color "${STAGE}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("${out}")
if(NOT rc EQUAL 0 OR out MATCHES "(^|\n)[EW]: ")
  message(FATAL_ERROR "appstreamcli validate-tree found problems")
endif()
file(REMOVE_RECURSE "${STAGE}")
