// SPDX-License-Identifier: MIT
// The executable's version record, as plain data.
//
// The same values are written into velmora.rc for Windows builds, where the
// resource compiler turns them into the VERSIONINFO resource that Explorer's
// "Details" tab shows. The program itself reads this header (for example to
// print its name and version), so it stays standard C++ without any Qt.
// tests/app keeps the two copies in step.
#pragma once

#include <cstdint>
#include <string_view>

namespace velmora {

// Four-part binary version number: major.minor.build.revision.
struct VersionNumber {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t build = 0;
  std::uint16_t revision = 0;

  friend constexpr bool operator==(const VersionNumber&, const VersionNumber&) = default;
};

// Values of the Windows VS_FIXEDFILEINFO fields this program uses.
inline constexpr std::uint32_t kOsWindows32 = 0x4;  // VOS__WINDOWS32
inline constexpr std::uint32_t kFileTypeApp = 0x1;  // VFT_APP

struct VersionRecord {
  // Fixed, binary part.
  VersionNumber file_version;
  VersionNumber product_version;
  std::uint32_t file_os = 0;
  std::uint32_t file_type = 0;

  // The one string table: its language and code page, which also form its
  // name ("040904B0" = US English, UTF-16) and the Translation entry.
  std::uint16_t language = 0;
  std::uint16_t code_page = 0;
  std::string_view string_table;

  // The string table's values.
  std::string_view product_name;
  std::string_view file_version_text;
  std::string_view product_version_text;
  std::string_view internal_name;
  std::string_view original_filename;
};

inline constexpr VersionRecord kVersionRecord{
    .file_version = {1, 0, 0, 0},
    .product_version = {1, 0, 0, 0},
    .file_os = kOsWindows32,
    .file_type = kFileTypeApp,
    .language = 0x0409,
    .code_page = 1200,
    .string_table = "040904B0",
    .product_name = "Velmora",
    .file_version_text = "1.00",
    .product_version_text = "1.00",
    .internal_name = "Velmora",
    .original_filename = "Velmora.exe",
};

}  // namespace velmora
