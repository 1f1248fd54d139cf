// SPDX-License-Identifier: MIT
#include "model/run_time_error.h"

#include <cstdio>

namespace velmora {

RunTimeError::RunTimeError(std::int32_t number, std::string description)
    : number_(number), description_(std::move(description)),
      message_("Run-time error '" + std::to_string(number) + "': " + description_) {}

std::string hexStatus(Status status) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(status));
    return buffer;
}

} // namespace velmora
