// SimBrief's answer to a fetch, arbitrary: its HTTP status from the first two bytes, its body the
// rest. A flight plan it gives is what the flight-plan reader then reads (fuzz_flightplan); else
// the pilot is told why in one clean line of bounded length. The sanitizers catch the rest.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "flightplan/flight_plan.h"
#include "links/simbrief/simbrief_fetch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const long status = 100 + (data[0] | (data[1] << 8U)) % 500;
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer hands over bytes
    std::string body(reinterpret_cast<const char*>(data) + 2, size - 2);
    const auto answer = brimwell::links::simbriefAnswer(status, body);
    if (answer.done()) {
        (void)brimwell::flightplan::readFlightPlan(answer.value(), "SimBrief's answer");
        return 0;
    }
    const std::string& reason = answer.refused().reason;
    for (const char c : reason) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            std::abort();
        }
    }
    if (reason.empty() || reason.size() > 1000) {
        std::abort();
    }
    return 0;
}
