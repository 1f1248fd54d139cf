# SPDX-License-Identifier: MIT
# Takes every text to translate from the sources into a gettext template: the lesson's texts
# (tr() in src/reaction/lesson_texts.cpp), the desktop entry and the AppStream metainfo. The
# template names no date, so the same sources give the same bytes.
#   cmake -DXGETTEXT=<xgettext> -DITS=<metainfo.its> -DSOURCE_DIR=<top> -DOUTPUT=<velmora.pot>
#         [-DCOMPARE=<committed velmora.pot>] -P template.cmake
# With COMPARE, fails unless what the sources give is that file.
cmake_minimum_required(VERSION 3.25)

set(common --from-code=UTF-8 --add-comments=TRANSLATORS: --add-location=file --package-name=Velmora
    --msgid-bugs-address= "--copyright-holder=The Velmora authors")
execute_process(
  COMMAND ${XGETTEXT} ${common} --keyword=tr:1,1t --keyword=tr:1c,2,2t -o ${OUTPUT}
          src/reaction/lesson_texts.cpp packaging/velmora.desktop
  COMMAND_ERROR_IS_FATAL ANY WORKING_DIRECTORY ${SOURCE_DIR} ERROR_QUIET)
execute_process(
  COMMAND ${XGETTEXT} ${common} --its=${ITS} --join-existing -o ${OUTPUT}
          packaging/org.tessivar.velmora.metainfo.xml.in
  COMMAND_ERROR_IS_FATAL ANY WORKING_DIRECTORY ${SOURCE_DIR} ERROR_QUIET)

# xgettext's header asks for a date, an author and a team; the template has none of them.
file(READ ${OUTPUT} pot)
string(REGEX REPLACE "^# SOME DESCRIPTIVE TITLE\\.\n# Copyright \\(C\\) YEAR ([^\n]*)\n([^\n]*)\n# FIRST AUTHOR[^\n]*\n"
       "# SPDX-License-Identifier: MIT\n# The texts of Tessivar, the Velmora lesson, to translate.\n# Copyright (C) \\1\n\\2\n" pot "${pot}")
string(REGEX REPLACE "\"POT-Creation-Date: [^\"]*\"\n" "" pot "${pot}")
string(REPLACE "\"Last-Translator: FULL NAME <EMAIL@ADDRESS>\\n\"" "\"Last-Translator: \\n\"" pot "${pot}")
string(REPLACE "\"Language-Team: LANGUAGE <LL@li.org>\\n\"" "\"Language-Team: \\n\"" pot "${pot}")
file(WRITE ${OUTPUT} "${pot}")

if(COMPARE)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${COMPARE} RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "${COMPARE} is not what the sources give (see ${OUTPUT}). "
                        "Update it and the translations with: cmake --build <build-dir> --target update_translations")
  endif()
endif()
