#include "cli/plan_watch.h"

#include <csignal>

#include <atomic>
#include <chrono>
#include <cmath>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <thread>
#include <utility>

#include "base/utc_text.h"
#include "cli/plan_flights.h"
#include "cli/plan_run.h"
#include "engine/units.h"
#include "flight/flight_json.h"
#include "flight/flight_watch.h"
#include "flightlog/flight_keeper.h"
#include "links/xplane/xplane.h"

namespace brimwell::cli {

namespace {

using Json = nlohmann::ordered_json;
using Clock = std::chrono::steady_clock;

// The work of the reading under way, which a signal stops, and whether one came: a signal's
// handler reaches nothing else.
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
std::atomic<links::LinkControl*> endingControl{nullptr};
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
volatile std::sig_atomic_t endingSignalled = 0;

extern "C" void endWatch(int /*signal*/) {
    endingSignalled = 1;
    if (auto* const control = endingControl.load()) {
        control->stop();
    }
}

// SIGINT and SIGTERM end the watch, not the program, while it lives: the reading under way is
// stopped and the watch tells its summary.
class EndingSignals final {
  public:
    explicit EndingSignals(links::LinkControl& control) {
        endingSignalled = 0;
        endingControl.store(&control);
        struct sigaction action {};
        action.sa_handler = endWatch;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_int);
        sigaction(SIGTERM, &action, &m_term);
    }
    EndingSignals(const EndingSignals&) = delete;
    EndingSignals& operator=(const EndingSignals&) = delete;
    EndingSignals(EndingSignals&&) = delete;
    EndingSignals& operator=(EndingSignals&&) = delete;
    ~EndingSignals() {
        sigaction(SIGINT, &m_int, nullptr);
        sigaction(SIGTERM, &m_term, nullptr);
        endingControl.store(nullptr);
    }

    static bool ended() { return endingSignalled != 0; }
    // Waits until then, or until a signal ends the watch.
    static void waitUntil(Clock::time_point then) {
        constexpr auto kSlice = std::chrono::milliseconds(50);
        for (auto now = Clock::now(); now < then && !ended(); now = Clock::now()) {
            std::this_thread::sleep_for(std::min<Clock::duration>(then - now, kSlice));
        }
    }

  private:
    struct sigaction m_int {};
    struct sigaction m_term {};
};

double now() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// "14:05:09", UTC.
std::string clockText(double time) {
    return base::utcText(time, "%H:%M:%S", "--:--:--");
}

// Tells the watch on the output, a line at a time, each flushed as it is written.
class FlightLines final : public flight::FlightListener {
  public:
    FlightLines(std::ostream& out, engine::Unit unit, bool json)
        : m_out(out), m_unit(unit), m_json(json) {}

    void reading(const flight::WatchedReading& reading) override {
        if (!reading.refusal.empty()) {
            refused(reading.time, reading.refusal);
            return;
        }
        const Json object = flight::readingJson(reading, m_unit);
        std::string text =
            clockText(reading.time) + " " + std::string(flight::phaseWords(reading.phase));
        if (!reading.checked) {
            write({{"reading", object}}, text + ": not checked");
            return;
        }
        const auto& watched = *reading.checked;
        const auto& check = watched.check;
        const bool travelled = watched.progressFrom == flight::ProgressFrom::DistanceTravelled;
        text += ", " + std::to_string(std::llround(check.distanceFlown)) +
                (travelled ? " nm travelled, " : " nm flown, ") +
                std::to_string(std::llround(check.distanceToGo)) + " to go";
        if (watched.offRouteNm) {
            text += ", " + figure(*watched.offRouteNm) + " nm off the route";
        }
        text += ": fuel " + weight(check.fuelOnBoard) + ", planned " +
                weight(check.plannedFuelOnBoard) + " (" + wholeText(check.difference) + "), " +
                weight(watched.fuelFlowPerHour) + "/h; landing " +
                weight(check.predictedLandingFuel) + ", planned " +
                weight(check.plannedLandingFuel);
        if (watched.predictedLandingFuelAtCurrentBurn && watched.burnFactor) {
            text += ", at the burn so far " + weight(*watched.predictedLandingFuelAtCurrentBurn) +
                    " (burn factor " + figure(*watched.burnFactor) + ")";
        }
        write({{"reading", object}}, text + "; " + std::string(engine::statusWords(check.status)));
    }

    void fixPassed(const flight::PassedFix& fix) override {
        std::string text = clockText(fix.time) + " fix " + fix.ident + " at " +
                           figure(fix.distanceNm) + " nm: fuel " + weight(fix.fuelOnBoard) +
                           ", planned " + weight(fix.plannedFuelOnBoard) + " (" +
                           wholeText(fix.difference) + ")";
        if (fix.ofpPlannedFuelOnBoard) {
            text += ", SimBrief's " + weight(*fix.ofpPlannedFuelOnBoard);
        }
        write({{"fix", flight::fixJson(fix, m_unit)}}, text);
    }

    void landed(const flight::FlightSummary& summary) override {
        m_landed = true;
        told("landed", "Landed at ", summary.time, summary);
    }

    // The watch ended before the landing, at `time`.
    void ended(double time, const flight::FlightSummary& summary) {
        told("ended", "The watch ended at ", time, summary);
    }

    // A reading that X-Plane did not give, or gave as no flight's: why, in words.
    void refused(double time, const std::string& reason) {
        write({{"reading", flight::refusalJson(time, reason)}}, clockText(time) + " " + reason);
    }

    bool hasLanded() const { return m_landed; }
    bool written() const { return m_out.good(); }

  private:
    long long whole(double pounds) const { return std::llround(engine::weightIn(pounds, m_unit)); }
    std::string wholeText(double pounds) const { return std::to_string(whole(pounds)); }
    std::string weight(double pounds) const {
        return wholeText(pounds) + " " + std::string(engine::unitName(m_unit));
    }
    static std::string figure(double value) {
        std::string text = Json(value).dump();
        return text;
    }

    void told(const char* key, const std::string& opening, double time,
              const flight::FlightSummary& summary) {
        const bool checked = summary.time != 0;
        std::string text = opening + clockText(time) + ": ";
        text += checked ? "fuel on board " + weight(summary.fuelOnBoard) : "no fuel read";
        text += summary.tripBurn ? ", trip burn " + weight(*summary.tripBurn) + " of " +
                                       weight(summary.plannedTripBurn) + " planned"
                                 : ", not airborne yet";
        if (summary.burnFactor) {
            text += ", burn factor " + figure(*summary.burnFactor);
        }
        text += ", " + std::to_string(summary.fixesPassed) +
                (summary.fixesPassed == 1 ? " fix passed" : " fixes passed");
        write({{key, flight::summaryJson(time, summary, m_unit)}}, text);
    }

    void write(const Json& object, const std::string& text) {
        m_out << (m_json ? object.dump(-1, ' ', false, Json::error_handler_t::replace) : text)
              << '\n';
        m_out.flush();
    }

    std::ostream& m_out;
    engine::Unit m_unit;
    bool m_json;
    bool m_landed = false;
};

}  // namespace

int watchFlight(const PlanRequest& request, engine::FuelPlanLine plan,
                const std::optional<flightplan::Route>& route, std::ostream& out, std::ostream& err,
                flightlog::PlannedFlight kept, const Serving& serving) {
    flight::FlightWatch watch(std::move(plan), route);
    // The log first: a reading told on the output is kept already, however the watch ends.
    KeptWatch keeping(std::move(kept), err);
    watch.addListener(keeping.listener());
    FlightLines lines(out, request.unit, request.json);
    watch.addListener(lines);
    const ServedWatch served(serving, watch, request.unit);
    links::LinkControl control;
    const EndingSignals signals(control);
    const auto every = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(request.everySeconds));
    const auto bound = links::xplaneBound();
    bool aircraftChecked = false;
    for (auto next = Clock::now(); lines.written() && !lines.hasLanded();) {
        const auto outcome =
            links::readXPlaneFlight(request.xplane, bound, !aircraftChecked, control);
        if (EndingSignals::ended()) {
            break;
        }
        if (outcome.done()) {
            aircraftChecked = true;
            watch.read(outcome.value());
        } else {
            lines.refused(now(), outcome.refused().reason);
            if (outcome.refused().otherAircraft) {
                err << "brimwell-plan: " << outcome.refused().reason << '\n';
                return kExitNotLoaded;
            }
        }
        next = std::max(next + every, Clock::now());
        EndingSignals::waitUntil(next);
        if (EndingSignals::ended()) {
            break;
        }
    }
    if (!lines.hasLanded()) {
        lines.ended(now(), watch.summary());
    }
    if (!lines.written()) {
        err << "brimwell-plan: the watch could not be written in full\n";
        return kExitNotWritten;
    }
    return kExitPlanned;
}

void tellKeptFlight(const flightlog::KeptFlight& flight, engine::Unit unit, bool json,
                    std::ostream& out) {
    FlightLines lines(out, unit, json);
    if (!flightlog::retell(flight, lines)) {
        const auto& entry = flight.entry;
        lines.ended(entry.lastTime, {entry.lastTime, entry.lastFuel, entry.tripBurn,
                                     entry.plannedTripBurn, entry.burnFactor, flight.fixes.size()});
    }
}

}  // namespace brimwell::cli
