#pragma once

// The settings only tests give, through the environment: each shortens a wait of the program's so
// that a test need not take the pilot's time. The manual pages list them as test settings
// (packaging/brimwell.1.in, packaging/brimwell-plan.h2m).

#include <chrono>

namespace brimwell::links {

// The milliseconds that the environment variable `name` gives, a whole number from 1 to longest;
// longest when it is not set or gives anything else.
std::chrono::milliseconds testSetting(const char* name, std::chrono::milliseconds longest);

}  // namespace brimwell::links
