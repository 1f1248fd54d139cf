// SPDX-License-Identifier: MIT
// velmora.rc and version_record.h hold the same version record.
#include "version_record.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace velmora {
namespace {

const std::filesystem::path kResources{VELMORA_APP_RESOURCES};

// What the test reads out of the resource script. String values are keyed
// by their block path, e.g. "StringFileInfo/040904B0/ProductName".
struct ResourceScript {
  std::vector<unsigned long> file_version;
  std::vector<unsigned long> product_version;
  std::vector<unsigned long> file_os;
  std::vector<unsigned long> file_type;
  std::map<std::string, std::string> strings;
  std::map<std::string, std::vector<unsigned long>> numbers;
  std::string icon;
  std::vector<std::string> errors;
};

// Comma-separated C numbers such as "1,0,0,0" or "0x4L".
std::vector<unsigned long> numbers_in(const std::string& text) {
  std::vector<unsigned long> out;
  std::stringstream items(text);
  std::string item;
  while (std::getline(items, item, ',')) {
    item = std::regex_replace(item, std::regex(R"(^\s+|[lL]?\s*$)"), "");
    out.push_back(std::stoul(item, nullptr, 0));
  }
  return out;
}

ResourceScript parse_resource_script(std::istream& in) {
  ResourceScript rc;
  const std::regex fixed(R"(^\s*(FILEVERSION|PRODUCTVERSION|FILEOS|FILETYPE)\s+(.+?)\s*$)");
  const std::regex block(R"(^\s*BLOCK\s+\"([^\"]*)\"\s*$)");
  const std::regex string_value(R"(^\s*VALUE\s+\"([^\"]*)\"\s*,\s*\"([^\"]*)\"\s*$)");
  const std::regex number_value(R"(^\s*VALUE\s+\"([^\"]*)\"\s*,\s*([0-9xXa-fA-F,\s]+)$)");
  const std::regex icon(R"(^\s*1\s+ICON\s+\"([^\"]*)\"\s*$)");

  std::vector<std::string> path;
  std::string pending_block;
  std::string line;
  int depth = 0;
  while (std::getline(in, line)) {
    line = line.substr(0, line.find("//"));
    std::smatch m;
    const auto key = [&](const std::string& name) {
      std::string k;
      for (const auto& p : path) k += p + "/";
      return k + name;
    };
    if (std::regex_match(line, m, fixed)) {
      const auto values = numbers_in(m[2]);
      const std::string word = m[1];
      (word == "FILEVERSION" ? rc.file_version
       : word == "PRODUCTVERSION" ? rc.product_version
       : word == "FILEOS"         ? rc.file_os
                                  : rc.file_type) = values;
    } else if (std::regex_match(line, m, block)) {
      pending_block = m[1];
    } else if (std::regex_match(line, m, string_value)) {
      if (!rc.strings.emplace(key(m[1]), m[2]).second) rc.errors.push_back("repeated value " + key(m[1]));
    } else if (std::regex_match(line, m, number_value)) {
      rc.numbers[key(m[1])] = numbers_in(m[2]);
    } else if (std::regex_match(line, m, icon)) {
      rc.icon = m[1];
    } else if (std::regex_match(line, std::regex(R"(^\s*BEGIN\s*$)"))) {
      ++depth;
      if (depth > 1) {  // the outermost BEGIN opens VERSIONINFO itself
        if (pending_block.empty()) rc.errors.push_back("BEGIN without BLOCK");
        path.push_back(pending_block);
        pending_block.clear();
      }
    } else if (std::regex_match(line, std::regex(R"(^\s*END\s*$)"))) {
      if (depth > 1) path.pop_back();
      if (--depth < 0) rc.errors.push_back("END without BEGIN");
    } else if (!std::regex_match(line, std::regex(R"(^\s*(1\s+VERSIONINFO\s*)?$)"))) {
      rc.errors.push_back("unrecognised line: " + line);
    }
  }
  if (depth != 0) rc.errors.push_back("unbalanced BEGIN/END");
  return rc;
}

std::vector<unsigned long> parts(VersionNumber v) { return {v.major, v.minor, v.build, v.revision}; }

std::string major_dot_minor(VersionNumber v) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%02u", unsigned{v.major}, unsigned{v.minor});
  return text;
}

class VersionResource : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream in(kResources / "velmora.rc");
    ASSERT_TRUE(in) << "cannot read velmora.rc";
    rc = parse_resource_script(in);
    ASSERT_TRUE(rc.errors.empty()) << rc.errors.front();
  }
  ResourceScript rc;
};

TEST_F(VersionResource, FixedPartMatchesHeader) {
  const VersionRecord& v = kVersionRecord;
  EXPECT_EQ(rc.file_version, parts(v.file_version));
  EXPECT_EQ(rc.product_version, parts(v.product_version));
  EXPECT_EQ(rc.file_os, std::vector<unsigned long>{v.file_os});
  EXPECT_EQ(rc.file_type, std::vector<unsigned long>{v.file_type});
}

TEST_F(VersionResource, StringTableAndTranslationMatchHeader) {
  const VersionRecord& v = kVersionRecord;
  const std::string table = "StringFileInfo/" + std::string(v.string_table) + "/";
  const std::map<std::string, std::string> expected{
      {table + "ProductName", std::string(v.product_name)},
      {table + "FileVersion", std::string(v.file_version_text)},
      {table + "ProductVersion", std::string(v.product_version_text)},
      {table + "InternalName", std::string(v.internal_name)},
      {table + "OriginalFilename", std::string(v.original_filename)},
  };
  EXPECT_EQ(rc.strings, expected);
  const std::map<std::string, std::vector<unsigned long>> translation{
      {"VarFileInfo/Translation", {v.language, v.code_page}}};
  EXPECT_EQ(rc.numbers, translation);
}

TEST_F(VersionResource, IconIsTheCommittedFile) {
  ASSERT_FALSE(rc.icon.empty());
  EXPECT_TRUE(std::filesystem::is_regular_file(kResources / rc.icon)) << rc.icon;
}

TEST(VersionRecordHeader, NamesAndTextsAgreeWithNumbers) {
  const VersionRecord& v = kVersionRecord;
  char table[9];
  std::snprintf(table, sizeof table, "%04X%04X", unsigned{v.language}, unsigned{v.code_page});
  EXPECT_EQ(v.string_table, table) << "string table name is language then code page in hex";
  EXPECT_EQ(v.file_version_text, major_dot_minor(v.file_version));
  EXPECT_EQ(v.product_version_text, major_dot_minor(v.product_version));
  EXPECT_EQ(std::string(v.internal_name) + ".exe", v.original_filename);
}

TEST(ResourceScriptReader, FlagsScriptsItCannotFollow) {
  std::istringstream unbalanced("1 VERSIONINFO\nBEGIN\n BLOCK \"StringFileInfo\"\n BEGIN\nEND\n");
  EXPECT_FALSE(parse_resource_script(unbalanced).errors.empty());
  std::istringstream unknown("1 VERSIONINFO\nFILEFLAGS 0x3fL\nBEGIN\nEND\n");
  EXPECT_FALSE(parse_resource_script(unknown).errors.empty());
}

}  // namespace
}  // namespace velmora
