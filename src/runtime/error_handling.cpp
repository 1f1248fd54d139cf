// SPDX-License-Identifier: MIT
#include "runtime/error_handling.h"

namespace velmora {
namespace {

ErrorReporter& installedReporter() {
    static ErrorReporter reporter;
    return reporter;
}

} // namespace

void checkStatus(Status status, const Control& object, std::string_view interfaceName, std::string_view operation) {
    if (!failed(status)) return;
    throw RunTimeError(status, "Method '" + std::string(operation) + "' of object '" + std::string(interfaceName) +
                                   "' failed on " + object.name() + " (status " + hexStatus(status) + ")");
}

ScopedErrorReporter::ScopedErrorReporter(ErrorReporter reporter)
    : previous_(std::exchange(installedReporter(), std::move(reporter))) {}

ScopedErrorReporter::~ScopedErrorReporter() { installedReporter() = std::move(previous_); }

namespace detail {

std::optional<Status> reportToInstalled(const RunTimeError& error) {
    const ErrorReporter& reporter = installedReporter();
    if (!reporter) return std::nullopt;
    reporter(error);
    return error.number() < 0 ? error.number() : kStatusFail;
}

} // namespace detail
} // namespace velmora
