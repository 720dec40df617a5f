// The X-Plane link fed with arbitrary answers: X-Plane's every answer to a load and to a reading
// in flight is taken from the input, and so is whether one comes at all. Whatever X-Plane
// answers, the link ends with one clean line for the pilot, or a load and a reading whose every
// figure is finite and physical, told in lines of clean text. The sanitizers catch the rest.
//
// The input is a list of answers, each a kind byte (0: 200, 1: 400, 2: 403, 3: 404, 4: 500, 5: no
// answer in time, 6: an answer past its cap, 7: a connection broken off), two bytes of length
// (little end first) and the body; past the last, X-Plane answers no more.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "links/xplane/xplane_link.h"

namespace {

using namespace brimwell;
using namespace brimwell::engine;
using namespace brimwell::links;

// Clean text: no control character but the line feeds between lines, and not a page of it.
bool clean(std::string_view text, bool lines) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && !(lines && c == '\n')) || byte == 0x7f) {
            return false;
        }
    }
    return !text.empty() && text.size() < 2000;
}

bool physical(double kg) {
    return std::isfinite(kg) && kg >= -0.5 && kg < 1e6;
}

XPlaneTransport answersFrom(std::string_view input) {
    return [input](const std::string& /*target*/, const std::string* /*body*/) mutable {
        if (input.size() < 3) {
            throw HttpError(HttpFailure::TimedOut, "no answer");
        }
        const auto kind = static_cast<unsigned char>(input[0]) % 8U;
        const std::size_t length = static_cast<unsigned char>(input[1]) +
                                   (std::size_t{static_cast<unsigned char>(input[2])} << 8U);
        const std::string_view body = input.substr(3, length);
        input.remove_prefix(3 + body.size());
        constexpr std::array<long, 5> kStatuses = {200, 400, 403, 404, 500};
        switch (kind) {
            case 5:
                throw HttpError(HttpFailure::TimedOut, "late");
            case 6:
                throw HttpError(HttpFailure::TooLarge, "large");
            case 7:
                throw HttpError(HttpFailure::BrokenOff, "broken");
            default:
                return HttpAnswer{kStatuses.at(kind), std::string(body)};
        }
    };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer hands over bytes
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const XPlaneAddress address{"localhost", 8086, "http://localhost:8086"};
    bool sound = true;

    const XPlaneOutcome outcome = loadXPlane(address, std::chrono::seconds(5), Unit::Pounds,
                                             104214.18, 45359.237, answersFrom(input));
    if (const XPlaneLoaded* loaded = outcome.valueIf()) {
        for (std::size_t slot = 0; slot < kXPlaneTanks; ++slot) {
            sound =
                sound && physical(loaded->tanksWritten[slot]) && physical(loaded->tanksRead[slot]);
        }
        sound =
            sound && physical(loaded->payloadRead) && clean(describe(outcome, Unit::Pounds), true);
    } else {
        sound = sound && clean(outcome.refused().reason, false);
    }

    const auto flight = readXPlaneFlightNow(address, std::chrono::seconds(5),
                                            !input.empty() && input[0] < 'm', answersFrom(input));
    if (const XPlaneFlightReading* read = flight.valueIf()) {
        sound = sound && std::abs(read->latitude) <= 90 && std::abs(read->longitude) <= 180 &&
                physical(read->fuelOnBoardKg) && read->fuelFlowKgPerSecond.size() <= 8 &&
                std::isfinite(read->groundSpeedMetresPerSecond) &&
                std::isfinite(read->distanceTravelledMetres);
    } else {
        sound = sound && clean(flight.refused().reason, false);
    }
    if (!sound) {
        std::abort();
    }
    return 0;
}
