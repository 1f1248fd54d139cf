// SPDX-License-Identifier: MIT
// The record of the test build with stand-in speech and sound (recording_main.cpp), as the driver
// reads it: one line a request, "KIND<tab>DETAIL<tab>TEXT<tab>MICROSECONDS".
#pragma once

#include <windows.h>

#undef interface

#include <string_view>

namespace velmora {

// The environment variable that names the record's file.
inline constexpr wchar_t kRecordVariable[] = L"VELMORA_AID_RECORD";

// The kinds of request: speak TEXT in the language DETAIL; stop speaking; play the cue DETAIL
// (its number).
inline constexpr std::string_view kSpoken = "speak";
inline constexpr std::string_view kSilenced = "silence";
inline constexpr std::string_view kPlayed = "play";

// The performance counter in microseconds, the same clock in every process of the machine.
inline long long microsecondsNow() {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return now.QuadPart / frequency.QuadPart * 1'000'000 +
           now.QuadPart % frequency.QuadPart * 1'000'000 / frequency.QuadPart;
}

} // namespace velmora
