#pragma once

#include <cstdint>
#include <string_view>

namespace velmora {

enum class Threading : std::uint8_t { SingleThreaded };

// What the program hands the forms runtime at launch.
struct ProjectDescription {
    std::string_view title;          // caption of run-time error boxes
    std::string_view executableName;
    std::string_view helpFile;       // empty: none
    std::string_view startupForm;    // the form shown at start; no start-up procedure
    std::uint16_t locale;
    Threading threading;
};

inline constexpr ProjectDescription kVelmoraProject{
    .title = "Velmora",
    .executableName = "Velmora",
    .helpFile = "",
    .startupForm = "Form1",
    .locale = 0x409,
    .threading = Threading::SingleThreaded,
};

} // namespace velmora
