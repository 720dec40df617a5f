#pragma once

// The options of brimwell-plan for the flight log (cli/plan_flights.h), read with the others
// (cli/plan_options.h).

#include <cstdint>
#include <string>

#include "cli/plan_options.h"

namespace brimwell::cli {

// The option's values, or OptionError.
std::int64_t flightIdOption(const std::string& value);
FuelFactorOption fuelFactorOption(const std::string& value);
// Refuses the log's options beside each other or beside a plan's.
void refuseLogConflicts(const PlanRequest& request);
// The paragraphs of --help on the flight log.
std::string flightsHelp();

}  // namespace brimwell::cli
