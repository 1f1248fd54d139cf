# SPDX-License-Identifier: MIT
# Writes OUTPUT, a C++ source holding the bytes of the four picture records in RECORD_DIR
# as the arrays declared in stored_records.h.
#   cmake -DRECORD_DIR=<dir> -DOUTPUT=<file.cpp> -P embed_records.cmake
cmake_minimum_required(VERSION 3.25)

set(text "// Generated from src/assets/records/*.rec by embed_records.cmake. Do not edit.\n")
string(APPEND text "#include \"assets/stored_records.h\"\n\nnamespace velmora::stored_records {\n")
foreach(pair enzyme:kEnzyme substrate:kSubstrate products:kProducts complex:kComplex)
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 symbol)
  file(READ "${RECORD_DIR}/${name}.rec" hex HEX)
  # Two hex digits per byte; 16 bytes to a line.
  string(REGEX REPLACE "(................................)" "\\1\n" lines "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${lines}")
  string(APPEND text "\nconst unsigned char ${symbol}[] = {\n${bytes}};\n"
                     "const std::size_t ${symbol}Size = sizeof ${symbol};\n")
endforeach()
string(APPEND text "\n} // namespace velmora::stored_records\n")
file(WRITE "${OUTPUT}.tmp" "${text}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
