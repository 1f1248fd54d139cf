// SPDX-License-Identifier: MIT
// What Velmora.exe carries (version record, icon, manifest) and what its installer does.
#include "driver.h"

#include "runtime/project_description.h"

#include <msi.h>
#include <shlobj.h>

#include <cstdio>
#include <map>
#undef interface

namespace velmora::driver {

namespace {

// The numbers of a version "major.minor.patch" as a version record's fixed part holds them.
std::pair<DWORD, DWORD> versionNumbers(const std::string& version) {
    unsigned major = 0, minor = 0, patch = 0;
    std::sscanf(version.c_str(), "%u.%u.%u", &major, &minor, &patch);
    return {MAKELONG(minor, major), MAKELONG(0, patch)};
}

// The version record of `file`: the fixed part, and the strings of the table `table`.
struct VersionRecord {
    VS_FIXEDFILEINFO fixed{};
    std::map<std::string, std::string> strings;
    DWORD translation = 0;
};

std::optional<VersionRecord> versionRecord(const std::wstring& file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    std::vector<char> data(size);
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return std::nullopt;
    VersionRecord out;
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\", &value, &length) && length >= sizeof out.fixed)
        out.fixed = *static_cast<VS_FIXEDFILEINFO*>(value);
    if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length) && length >= 4)
        out.translation = *static_cast<DWORD*>(value);
    for (const char* name : {"ProductName", "FileVersion", "ProductVersion", "InternalName", "OriginalFilename"})
        if (VerQueryValueW(data.data(), (L"\\StringFileInfo\\040904B0\\" + widen(name)).c_str(), &value, &length))
            out.strings[name] = narrow(static_cast<const wchar_t*>(value));
    return out;
}

} // namespace

void versionRecordAndIcon(const std::wstring& exe, const std::string& version, const std::string& versionText) {
    const auto record = versionRecord(exe);
    check(record.has_value(), "Velmora.exe has a version record");
    if (!record) return;
    const auto [high, low] = versionNumbers(version);
    check(record->fixed.dwFileVersionMS == high && record->fixed.dwFileVersionLS == low &&
              record->fixed.dwProductVersionMS == high && record->fixed.dwProductVersionLS == low,
          "the file and product versions are " + version + ".0");
    check(record->fixed.dwFileOS == VOS__WINDOWS32 && record->fixed.dwFileType == VFT_APP,
          "the record is that of a 32-bit Windows application");
    check(record->translation == MAKELONG(0x409, 1200), "the strings are English (United States), Unicode");
    const std::string name(kVelmoraProject.executableName);
    const std::map<std::string, std::string> strings{{"ProductName", name},
                                                     {"FileVersion", versionText},
                                                     {"ProductVersion", versionText},
                                                     {"InternalName", name},
                                                     {"OriginalFilename", name + ".exe"}};
    for (const auto& [key, want] : strings)
        check(record->strings.count(key) && record->strings.at(key) == want,
              key + " is \"" + (record->strings.count(key) ? record->strings.at(key) : "") + "\", not \"" + want +
                  "\"");

    // Icon group 1: 32 by 32 in 2 colours, 32 by 32 and 16 by 16 in 16 colours.
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC group = module ? FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)) : nullptr;
    std::set<std::string> images;
    if (group != nullptr) {
        // A count at byte 4, then 14 bytes an image: width, height, colours, ...
        const auto* head = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
        for (int i = 0; i < head[4]; ++i) {
            const BYTE* entry = head + 6 + 14 * i;
            images.insert(std::to_string(entry[0]) + "x" + std::to_string(entry[1]) + "/" + std::to_string(entry[2]));
        }
    }
    check(images == std::set<std::string>{"32x32/2", "32x32/16", "16x16/16"}, "icon group 1 holds the three images");
    check(module != nullptr && FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)) != nullptr,
          "Velmora.exe carries its manifest");
    if (module != nullptr) FreeLibrary(module);
}

namespace {

// Runs a command line to its end; its exit status.
DWORD run(std::wstring command) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw Stuck("cannot start " + narrow(command));
    WaitForSingleObject(process.hProcess, 120000);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}

// The versions of the installed products of that upgrade code.
std::vector<std::string> installedVersions(const std::wstring& upgradeCode) {
    std::vector<std::string> out;
    wchar_t product[39];
    for (DWORD i = 0; MsiEnumRelatedProductsW(upgradeCode.c_str(), 0, i, product) == ERROR_SUCCESS; ++i) {
        wchar_t version[64] = {};
        DWORD length = 64;
        MsiGetProductInfoW(product, INSTALLPROPERTY_VERSIONSTRING, version, &length);
        out.push_back(narrow(version));
    }
    return out;
}

std::wstring knownFolder(int folder) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The programs called Velmora in the installed programs list (Windows' uninstall entries): the
// keys of their entries, their product codes.
std::vector<std::wstring> listedAsInstalled() {
    std::vector<std::wstring> listed;
    HKEY uninstall = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                      KEY_READ | KEY_WOW64_64KEY, &uninstall) != ERROR_SUCCESS)
        return listed;
    wchar_t key[256];
    for (DWORD i = 0, length = 256;
         RegEnumKeyExW(uninstall, i, key, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = 256) {
        wchar_t name[64] = {};
        DWORD size = sizeof name;
        if (RegGetValueW(uninstall, key, L"DisplayName", RRF_RT_REG_SZ, nullptr, name, &size) == ERROR_SUCCESS &&
            std::wstring(name) == L"Velmora")
            listed.emplace_back(key);
    }
    RegCloseKey(uninstall);
    return listed;
}

} // namespace

void installerInstallsUpgradesAndRemoves(const std::wstring& msi, const std::wstring& rebuilt,
                                         const std::wstring& olderMsi, const std::string& version,
                                         const std::string& olderVersion, const std::string& upgradeCode) {
    const std::wstring code = widen(upgradeCode);
    const std::wstring program = knownFolder(CSIDL_PROGRAM_FILES) + L"\\Velmora\\Velmora.exe";
    // A per-machine install puts it in All Users' Start menu; Wine 8 puts it in the user's.
    const std::wstring shortcuts[] = {knownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Tessivar.lnk",
                                      knownFolder(CSIDL_PROGRAMS) + L"\\Tessivar.lnk"};
    const auto shortcut = [&shortcuts] { return exists(shortcuts[0]) || exists(shortcuts[1]); };
    // What a run that failed half-way left behind goes first, found by its upgrade code or its name.
    wchar_t leftover[39];
    while (MsiEnumRelatedProductsW(code.c_str(), 0, 0, leftover) == ERROR_SUCCESS)
        if (run(L"msiexec /x " + std::wstring(leftover) + L" /qn") != 0)
            throw Stuck("cannot remove an earlier Velmora");
    for (const std::wstring& product : listedAsInstalled())
        if (run(L"msiexec /x " + product + L" /qn") != 0) throw Stuck("cannot remove an earlier Velmora");

    struct Install {
        const std::wstring& msi;
        bool installs;
        const std::string& installed; // the version installed afterwards
        const char* what;
    };
    const Install installs[] = {
        {olderMsi, true, olderVersion, "the older version installs silently"},
        {msi, true, version, "this version installs silently over it"},
        {rebuilt, true, version, "another build of this version installs over it"},
        {olderMsi, false, version, "the older version does not install over this one"},
    };
    for (const Install& install : installs) {
        check((run(L"msiexec /i \"" + install.msi + L"\" /qn") == 0) == install.installs, install.what);
        check(installedVersions(code) == std::vector<std::string>{install.installed} && listedAsInstalled().size() == 1,
              std::string(install.what) + ": then one Velmora, " + install.installed + ", is installed");
    }
    check(exists(program) && shortcut(), "Velmora.exe is under Program Files, Tessivar in the Start menu");
    const auto record = versionRecord(program);
    check(record && record->fixed.dwFileVersionMS == versionNumbers(version).first,
          "the installed program is this one");
    // The installed program opens its window (a Program waits for it, and closes it again).
    { const Program installed(program); }

    check(run(L"msiexec /x \"" + rebuilt + L"\" /qn") == 0, "Velmora uninstalls silently");
    check(installedVersions(code).empty() && listedAsInstalled().empty() && !exists(program) && !shortcut(),
          "nothing of Velmora is left");
}

} // namespace velmora::driver
