// SPDX-License-Identifier: MIT
#pragma once

#include "model/form_model.h"
#include "model/run_time_error.h"
#include "model/status.h"

#include <exception>
#include <functional>
#include <string_view>
#include <utility>

namespace velmora {

// Names used when a typed visibility change fails.
inline constexpr std::string_view kPictureAreaInterface = "IPictureArea";
inline constexpr std::string_view kVisibleSetter = "Visible";

// Raises the run-time error for a failed typed call: its number is the status, its description
// names the interface, the operation and the control. A successful status returns at once.
void checkStatus(Status status, const Control& object, std::string_view interfaceName, std::string_view operation);

/*
 * Where run-time errors that leave a handler are reported: the program's error box, or a test's
 * recorder. One reporter is in force at a time; a ScopedErrorReporter installs one for its
 * lifetime and puts the previous one back when it ends.
 */
using ErrorReporter = std::function<void(const RunTimeError&)>;

class ScopedErrorReporter final {
public:
    explicit ScopedErrorReporter(ErrorReporter reporter);
    ~ScopedErrorReporter();
    ScopedErrorReporter(const ScopedErrorReporter&) = delete;
    ScopedErrorReporter& operator=(const ScopedErrorReporter&) = delete;

private:
    ErrorReporter previous_;
};

namespace detail {
// Hands `error` to the reporter in force and returns the handler's failure status.
// Returns nothing when no reporter is installed; the caller then lets the error go on.
std::optional<Status> reportToInstalled(const RunTimeError& error);
} // namespace detail

/*
 * A handler's frame: runs `body`, and when a run-time error leaves it (its temporaries already
 * released by unwinding), passes the error to the reporter and returns a failure status. Any other
 * exception is reported as an internal error the same way. Without a reporter the error is
 * thrown on, never swallowed. Returns kStatusOk when the body finished.
 */
template <class Body>
Status exceptHandler(Body&& body) {
    try {
        std::forward<Body>(body)();
        return kStatusOk;
    } catch (const RunTimeError& error) {
        if (auto status = detail::reportToInstalled(error)) return *status;
        throw;
    } catch (const std::exception& other) {
        const RunTimeError error(error_number::kInternal, std::string("Internal error: ") + other.what());
        if (auto status = detail::reportToInstalled(error)) return *status;
        throw error;
    }
}

} // namespace velmora
