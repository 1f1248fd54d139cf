# SPDX-License-Identifier: MIT
# Zips the SCORM package so that the same files give the same bytes on any machine at any time:
# the files in the order of their names, each dated at the sources' time (SOURCE_DATE_EPOCH, else
# the last commit's, else 1 January 1980, the earliest date a zip holds), each readable by all and
# writable by its owner whatever the umask, and with Info-ZIP's zip adding no extra fields (-X:
# no owner, no other times) and no directory entries (-D). A zip keeps local time: TZ is UTC.
#   cmake -DZIP=<zip> -DSOURCE_DIR=<top> -DDIR=<files> -DPACKAGE=<zip file> [-DCOMPARE=ON]
#         -P scorm_zip.cmake
# The date is written to PACKAGE.date beside it. With COMPARE, zips a copy of DIR made now, with
# other modes and in another time zone, at that date (a commit made since the package was zipped
# changes nothing in it), into PACKAGE.again, and fails unless that has PACKAGE's bytes.
cmake_minimum_required(VERSION 3.25)

set(earliest 315532800) # 1980-01-01 00:00:00 UTC
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(NOT epoch MATCHES "^[0-9]+$")
  find_program(GIT git)
  set(epoch "")
  if(GIT)
    execute_process(COMMAND ${GIT} log -1 --format=%ct WORKING_DIRECTORY ${SOURCE_DIR}
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    set(epoch ${earliest})
  endif()
endif()
if(epoch LESS earliest)
  set(epoch ${earliest})
endif()

# Zips the files under `dir` into `output`.
function(zip_package dir output)
  file(GLOB_RECURSE names LIST_DIRECTORIES false RELATIVE ${dir} ${dir}/*)
  list(SORT names)
  list(TRANSFORM names PREPEND ${dir}/ OUTPUT_VARIABLE paths)
  file(CHMOD ${paths} FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  set(ENV{TZ} UTC)
  execute_process(COMMAND touch -d @${epoch} ${paths} COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE ${output})
  execute_process(COMMAND ${ZIP} -q -X -D -9 ${output} ${names} WORKING_DIRECTORY ${dir}
                  COMMAND_ERROR_IS_FATAL ANY)
endfunction()

if(NOT COMPARE)
  zip_package(${DIR} ${PACKAGE})
  file(WRITE ${PACKAGE}.date ${epoch})
  return()
endif()
if(EXISTS ${PACKAGE}.date)
  file(READ ${PACKAGE}.date epoch)
endif()
set(again ${PACKAGE}.again)
set(copy ${again}.files)
file(REMOVE_RECURSE ${copy})
file(COPY ${DIR}/ DESTINATION ${copy} NO_SOURCE_PERMISSIONS FILE_PERMISSIONS OWNER_READ OWNER_WRITE)
file(GLOB_RECURSE copies ${copy}/*)
file(TOUCH ${copies})
set(ENV{TZ} Pacific/Kiritimati)
zip_package(${copy} ${again})
file(REMOVE_RECURSE ${copy})
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${again} ${PACKAGE} RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "Zipping the package's files again gave other bytes than ${PACKAGE} (see ${again})")
endif()
