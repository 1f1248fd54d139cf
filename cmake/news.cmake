# SPDX-License-Identifier: MIT
# NEWS.md holds each release once: its version, its date and what changed. The Debian changelog
# and the AppStream metainfo are both made from its newest entry.
#
# velmora_newest_news(NEWS VERSION PREFIX) reads the newest entry, headed
# "## VERSION (YYYY-MM-DD)", and sets PREFIX_DATE to its date and PREFIX_ITEMS to its "- " list
# as written. It fails unless that entry is the given version.
function(velmora_newest_news news version prefix)
  file(READ "${news}" text)
  if(NOT text MATCHES "\n## ([0-9.]+) \\(([0-9]+-[0-9]+-[0-9]+)\\)\n([^#]*)")
    message(FATAL_ERROR "${news} has no entry headed \"## VERSION (YYYY-MM-DD)\"")
  endif()
  set(news_version ${CMAKE_MATCH_1})
  set(date ${CMAKE_MATCH_2})
  string(STRIP "${CMAKE_MATCH_3}" items)
  if(NOT news_version STREQUAL version)
    message(FATAL_ERROR "NEWS.md's newest entry is ${news_version}, but the project is ${version}")
  endif()
  set(${prefix}_DATE ${date} PARENT_SCOPE)
  set(${prefix}_ITEMS "${items}" PARENT_SCOPE)
endfunction()
