# SPDX-License-Identifier: MIT
# Writes the Debian changelog of the package from the newest entry of NEWS.md.
#   cmake -DNEWS=<NEWS.md> -DVERSION=<x.y.z> -DRELEASE=<n> -DMAINTAINER=<name <address>>
#         -DOUTPUT=<changelog.Debian> -P debian_changelog.cmake
file(READ "${NEWS}" news)
if(NOT news MATCHES "\n## ([0-9.]+) \\(([0-9]+-[0-9]+-[0-9]+)\\)\n([^#]*)")
  message(FATAL_ERROR "${NEWS} has no entry headed \"## VERSION (YYYY-MM-DD)\"")
endif()
set(news_version ${CMAKE_MATCH_1})
set(released ${CMAKE_MATCH_2})
set(items "${CMAKE_MATCH_3}")
if(NOT news_version STREQUAL VERSION)
  message(FATAL_ERROR "NEWS.md's newest entry is ${news_version}, but the project is ${VERSION}")
endif()
string(STRIP "${items}" items)
string(REPLACE "\n  " "\n    " items "${items}")
string(REGEX REPLACE "(^|\n)- " "\\1  * " items "${items}")
# The release date in the changelog's RFC 2822 form, from date(1).
execute_process(COMMAND date -u -R -d "${released}" OUTPUT_VARIABLE stamp
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(WRITE "${OUTPUT}"
  "velmora (${VERSION}-${RELEASE}) unstable; urgency=medium\n\n${items}\n\n"
  " -- ${MAINTAINER}  ${stamp}\n")
