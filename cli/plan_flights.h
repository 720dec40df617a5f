#pragma once

// brimwell-plan and the flight log (flightlog/flight_log.h): --flights lists the flights kept,
// newest first, with the fuel factor learnt from them; --flight ID shows one, its fixes passed
// and readings as --watch told them; --flights-csv FILE writes the list as CSV; --fuel-factor
// plans the trip fuel with the factor learnt (auto) or given; and --watch keeps its flight.
// The log's notices (moved aside, newer, not kept) go to the error stream, each once.

#include <iosfwd>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>

#include "cli/plan_flight_options.h"
#include "cli/plan_options.h"
#include "flight/flight_watch.h"
#include "flightlog/flight_log.h"

namespace brimwell::cli {

// Whether the request asks for the log (--flights, --flight, --flights-csv) instead of a plan.
bool asksForTheLog(const PlanRequest& request);
// Answers it; returns the exit status.
int answerFromTheLog(const PlanRequest& request, std::ostream& out, std::ostream& err);

// The fuel factor a plan is made with as the request asks: none when off; the learnt one, or
// none when the log has too few flights to learn it from (told on err).
struct AppliedFuelFactor {
    double factor = 1;
    std::optional<std::string> sentence;  // learnt: what it was learnt from
};
std::optional<AppliedFuelFactor> appliedFuelFactor(const PlanRequest& request, std::ostream& err);
// The JSON object's "fuel_factor": {"factor": 1.05, "percent": "+5.0 %", "from": "flight log" or
// "option", "sentence": what it was learnt from, or null}.
nlohmann::ordered_json appliedFactorJson(const AppliedFuelFactor& applied);

// The flight of a watch kept in the log while it lives.
class KeptWatch final {
  public:
    KeptWatch(flightlog::PlannedFlight plan, std::ostream& err);
    ~KeptWatch();
    KeptWatch(const KeptWatch&) = delete;
    KeptWatch& operator=(const KeptWatch&) = delete;
    KeptWatch(KeptWatch&&) = delete;
    KeptWatch& operator=(KeptWatch&&) = delete;

    flight::FlightListener& listener();

  private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

}  // namespace brimwell::cli
