# SPDX-License-Identifier: MIT
# Writes the Debian changelog of the package from the newest entry of NEWS.md.
#   cmake -DNEWS=<NEWS.md> -DVERSION=<x.y.z> -DRELEASE=<n> -DMAINTAINER=<name <address>>
#         -DOUTPUT=<changelog.Debian> -P debian_changelog.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/news.cmake)
velmora_newest_news("${NEWS}" "${VERSION}" news)
string(REPLACE "\n  " "\n    " items "${news_ITEMS}")
string(REGEX REPLACE "(^|\n)- " "\\1  * " items "${items}")
# The release date in the changelog's RFC 2822 form, from date(1).
execute_process(COMMAND date -u -R -d "${news_DATE}" OUTPUT_VARIABLE stamp
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(WRITE "${OUTPUT}"
  "velmora (${VERSION}-${RELEASE}) unstable; urgency=medium\n\n${items}\n\n"
  " -- ${MAINTAINER}  ${stamp}\n")
