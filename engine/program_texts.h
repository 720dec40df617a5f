#pragma once

// The program's own fixed texts: its title and the one message of a failed Calculate.

#include <string_view>

namespace brimwell::engine {

inline constexpr std::string_view kApplicationTitle = "Brimwell v2.0";
inline constexpr std::string_view kFailureMessage = "Please enter all Flight Data or check limits";

}  // namespace brimwell::engine
