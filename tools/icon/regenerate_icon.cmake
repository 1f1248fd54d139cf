# SPDX-License-Identifier: MIT
# Builds the icon files from their sources in <resources>/icon/:
#   velmora.ico           32x32-2colours.png, 32x32-16colours.png and 16x16-16colours.png, in
#                         that order, packed by icotool, which keeps each image's colour depth
#   icons/velmora-N.png   for each size in SIZES: the hand-set NxN-16colours.png where there is
#                         one, otherwise velmora.svg drawn at N by N pixels by rsvg-convert
#
#   cmake -DRESOURCES=<resources> -DOUT=<folder> -DSIZES=<sizes> -DICOTOOL=<icotool>
#         -DRSVG_CONVERT=<rsvg-convert> [-DCOMPARE=ON] -P regenerate_icon.cmake
#
# With COMPARE=ON the files written into OUT must equal, byte for byte, those in RESOURCES.
set(sources "${RESOURCES}/icon")
file(MAKE_DIRECTORY "${OUT}/icons")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command} failed (${rc}): ${err}")
  endif()
endfunction()

run("${ICOTOOL}" --create --output=${OUT}/velmora.ico
    ${sources}/32x32-2colours.png ${sources}/32x32-16colours.png ${sources}/16x16-16colours.png)
set(written velmora.ico)

foreach(size IN LISTS SIZES)
  set(png "icons/velmora-${size}.png")
  set(hand_set "${sources}/${size}x${size}-16colours.png")
  if(EXISTS "${hand_set}")
    file(COPY_FILE "${hand_set}" "${OUT}/${png}")
  else()
    run("${RSVG_CONVERT}" --width=${size} --height=${size} --output=${OUT}/${png} ${sources}/velmora.svg)
  endif()
  list(APPEND written "${png}")
endforeach()

if(COMPARE)
  set(stale)
  foreach(file IN LISTS written)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUT}/${file}" "${RESOURCES}/${file}"
                    RESULT_VARIABLE differs)
    if(differs)
      list(APPEND stale "${file}")
    endif()
  endforeach()
  if(stale)
    list(JOIN stale ", " stale)
    message(FATAL_ERROR "Not what the icon's sources give: ${stale}. "
                        "Rebuild them with: cmake --build <build-dir> --target regenerate_icon")
  endif()
  message("The icon files are what their sources give.")
endif()
