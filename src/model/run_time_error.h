// SPDX-License-Identifier: MIT
#pragma once

#include "model/status.h"

#include <cstdint>
#include <exception>
#include <string>

namespace velmora {

// Error numbers the program raises itself. A failed typed call is raised with its status as number.
namespace error_number {
inline constexpr std::int32_t kInternal = 51;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kPropertyReadOnly = 383;
inline constexpr std::int32_t kNoSuchProperty = 438;
} // namespace error_number

/*
 * A run-time error: a number and a description, as the error box shows them. The full message is
 * owned by the error, so what() stays valid for as long as the error does.
 */
class RunTimeError final : public std::exception {
public:
    RunTimeError(std::int32_t number, std::string description);

    std::int32_t number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }

    // "Run-time error '<number>': <description>".
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::int32_t number_;
    std::string description_;
    std::string message_;
};

// A status as eight hex digits, "0x80004005".
std::string hexStatus(Status status);

} // namespace velmora
