# SPDX-License-Identifier: MIT
# Runs make_pictures into OUT and fails unless it gives the committed picture records and
# pictures' words (src/assets/records, src/assets/words), file for file and byte for byte.
#   cmake -DMAKE_PICTURES=<program> -DASSETS=<src/assets> -DOUT=<dir> -P pictures_as_committed.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${MAKE_PICTURES} ${OUT}/records ${OUT}/words COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
set(differing "")
foreach(dir IN ITEMS records words)
  file(GLOB_RECURSE made RELATIVE ${OUT}/${dir} ${OUT}/${dir}/*)
  file(GLOB_RECURSE kept RELATIVE ${ASSETS}/${dir} ${ASSETS}/${dir}/*)
  set(files ${made} ${kept})
  list(REMOVE_DUPLICATES files)
  foreach(file IN LISTS files)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${dir}/${file} ${ASSETS}/${dir}/${file}
                    RESULT_VARIABLE different OUTPUT_QUIET ERROR_QUIET)
    if(different)
      list(APPEND differing ${dir}/${file})
    endif()
  endforeach()
endforeach()
if(differing)
  list(JOIN differing "\n  " listed)
  message(FATAL_ERROR "make_pictures does not give these committed files (or gives them and they are not "
                      "committed):\n  ${listed}\nDraw them anew with: cmake --build <build-dir> --target regenerate_pictures")
endif()
