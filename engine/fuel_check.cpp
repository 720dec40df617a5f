#include "engine/fuel_check.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/figure_text.h"
#include "engine/calculation_error.h"
#include "engine/cell_limits.h"
#include "engine/cell_names.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "engine/number_text.h"

namespace brimwell::engine {

namespace {

constexpr double kMetresPerNauticalMile = 1852;
// The most fuel a plan's weight may stand for: the most a reading may hold, in lbs.
constexpr double kMostPounds = kMostFuelOnBoardKg / kKilogramsPerPound;
// The share of the planned landing fuel that may be used while the flight is still on plan,
// in percent.
constexpr double kOnPlanPercent = 99;

constexpr std::string_view kNoPlan =
    "There is no finished plan to check the fuel against. Calculate the plan with all its "
    "flight data first.";
constexpr std::string_view kNotAFlight =
    "The plan's figures are no flight's: a weight below 0 or beyond any aircraft's, or a "
    "distance outside the trip table. Its fuel cannot be checked.";
constexpr std::string_view kNoTripFuel =
    "The trip table gives the plan's wind-corrected distance no trip fuel, so the plan burns "
    "nothing along the way to check the fuel against.";

}  // namespace

// The look-up that Calculate finds the trip fuel with, over cells that it never reads.
struct FuelPlanLine::TripLookUp {
    class NoMessages final : public MessageSink {
      public:
        void showMessage(std::string_view /*text*/) override {}
    };

    MemoryCells cells;
    NoMessages messages;
    FuelPlanner planner{cells, messages};

    // T(d): the trip fuel for the text of d nm at the level, thousands of lbs; throws
    // CalculationError outside the table.
    double tripFuel(double distanceNm, const std::string& level) {
        return toNumber(planner.tripFuel(toText(distanceNm), level));
    }
};

std::string_view statusWords(FuelStatus status) {
    switch (status) {
        case FuelStatus::OnPlan:
            return "on plan";
        case FuelStatus::ContingencyInUse:
            return "contingency in use";
        case FuelStatus::ReservesAtRisk:
            break;
    }
    return "reserves at risk";
}

FuelPlanLine::FuelPlanLine() : m_lookUp(std::make_unique<TripLookUp>()) {
    m_lookUp->planner.fillTables();
}
FuelPlanLine::FuelPlanLine(FuelPlanLine&&) noexcept = default;
FuelPlanLine& FuelPlanLine::operator=(FuelPlanLine&&) noexcept = default;
FuelPlanLine::~FuelPlanLine() = default;

std::variant<FuelPlanLine, FuelCheckRefused> FuelPlanLine::read(const CellReader& poundCells) {
    FuelPlanLine plan;
    try {
        const auto number = [&](std::string_view name) { return toNumber(poundCells.text(name)); };
        plan.m_level = poundCells.text(cell::cmbFlightLevel);
        plan.m_distance = number(cell::txtDestinationDistance);
        plan.m_correctedDistance = number(cell::txtDistWinCorr);
        plan.m_flightPlanFuel = number(cell::txtFPF);
        plan.m_fuelLoad = number(cell::txtFL);
        plan.m_taxiFuel = number(cell::txtTFB);
        plan.m_minimumLandingFuel = number(cell::cmbMLF);
        plan.m_alternateFuel = number(cell::txtAF);
        plan.m_contingencyFuel = number(cell::txtCF);
        // Calculate's own sum, written as it writes it: cells left from an earlier plan differ.
        const double sum = finite(plan.m_alternateFuel + plan.m_minimumLandingFuel +
                                  plan.m_contingencyFuel + plan.m_flightPlanFuel + plan.m_taxiFuel);
        if (toText(sum) != poundCells.text(cell::txtFL)) {
            return FuelCheckRefused{std::string(kNoPlan)};
        }
        plan.m_correctedTripFuel = plan.m_lookUp->tripFuel(plan.m_correctedDistance, plan.m_level);
    } catch (const CalculationError&) {
        return FuelCheckRefused{std::string(kNoPlan)};
    }
    const std::array weights = {plan.m_flightPlanFuel, plan.m_fuelLoad,
                                plan.m_taxiFuel,       plan.m_minimumLandingFuel,
                                plan.m_alternateFuel,  plan.m_contingencyFuel};
    const double longest = fieldLimit(cell::txtDestinationDistance)->limit;
    if (!(plan.m_distance >= 0 && plan.m_distance <= longest) ||
        !std::ranges::all_of(weights, [](double w) { return w >= 0 && w <= kMostPounds; })) {
        return FuelCheckRefused{std::string(kNotAFlight)};
    }
    if (plan.m_distance > 0 && plan.m_correctedTripFuel == 0) {
        return FuelCheckRefused{std::string(kNoTripFuel)};
    }
    return plan;
}

double FuelPlanLine::takeoffFuel() const {
    return m_fuelLoad - m_taxiFuel;
}

double FuelPlanLine::plannedLandingFuel() const {
    return m_minimumLandingFuel + m_alternateFuel + m_contingencyFuel;
}

double FuelPlanLine::reserves() const {
    return m_minimumLandingFuel + m_alternateFuel;
}

std::optional<double> FuelPlanLine::burnTo(double x) const {
    if (x >= m_distance) {
        return m_flightPlanFuel;
    }
    if (x == 0) {
        return 0.0;
    }
    // 0 < x < D, so x·k lies from 0 to txtDistWinCorr, whose look-up succeeded: this one cannot
    // fail but by a fault of the tables.
    try {
        const double k = m_correctedDistance / m_distance;
        const double burn =
            m_flightPlanFuel * m_lookUp->tripFuel(x * k, m_level) / m_correctedTripFuel;
        // Rounded as Calculate rounds a fuel figure: the number of its text, so that a half that
        // the doubles miss by a hair (141832.50000000003) is still a half, and goes to the even.
        return roundHalfEven(toNumber(toText(burn)));
    } catch (const CalculationError&) {
        return std::nullopt;
    }
}

std::optional<double> FuelPlanLine::plannedBurn(double distanceNm) const {
    if (!(distanceNm >= 0 && std::isfinite(distanceNm))) {
        return std::nullopt;
    }
    return burnTo(distanceNm);
}

std::optional<double> FuelPlanLine::plannedFuelOnBoard(double distanceNm) const {
    const auto burn = plannedBurn(distanceNm);
    return burn ? std::optional(takeoffFuel() - *burn) : std::nullopt;
}

std::variant<FuelCheck, FuelCheckRefused> FuelPlanLine::check(const FuelReading& reading) const {
    const double kg = reading.fuelOnBoardKg;
    const double metres = reading.distanceTravelledMetres;
    if (!(kg >= 0 && kg <= kMostFuelOnBoardKg && metres >= 0 && metres <= kLongestTravelMetres)) {
        return FuelCheckRefused{"X-Plane's reading is no flight's (" + base::figureText(kg) +
                                " kg of fuel on board after " + base::figureText(metres) +
                                " m travelled): the fuel is not checked."};
    }
    FuelCheck check;
    check.distanceFlown = roundHalfEven(metres / kMetresPerNauticalMile);
    check.distanceToGo = std::max(m_distance - check.distanceFlown, 0.0);
    const auto burn = burnTo(check.distanceFlown);
    if (!burn) {
        return FuelCheckRefused{std::string(kNoPlan)};
    }
    check.plannedBurn = *burn;
    check.fuelOnBoard = roundHalfEven(kg / kKilogramsPerPound);
    check.plannedFuelOnBoard = takeoffFuel() - check.plannedBurn;
    check.difference = check.fuelOnBoard - check.plannedFuelOnBoard;
    check.predictedLandingFuel = check.fuelOnBoard - (m_flightPlanFuel - check.plannedBurn);
    check.plannedLandingFuel = plannedLandingFuel();
    check.reserves = reserves();
    check.margin = check.predictedLandingFuel - check.plannedLandingFuel;
    // 99 % compared exactly: both sides are whole numbers far below 2^53.
    const bool onPlan =
        check.predictedLandingFuel * 100 >= check.plannedLandingFuel * kOnPlanPercent;
    check.status = onPlan                                         ? FuelStatus::OnPlan
                   : check.predictedLandingFuel >= check.reserves ? FuelStatus::ContingencyInUse
                                                                  : FuelStatus::ReservesAtRisk;
    return check;
}

double weightIn(double pounds, Unit unit) {
    return unit == Unit::Kilograms ? roundHalfEven(pounds * kKilogramsPerPound) : pounds;
}

std::vector<std::string> checkLines(const FuelCheck& check, Unit unit) {
    // Short texts are appended to, not added to a literal: g++ 12 at -O3 takes " " + a string
    // for an overlap of its copies (-Wrestrict).
    const std::string name = std::string(" ").append(unitName(unit));
    const auto weight = [&](double pounds) { return toText(weightIn(pounds, unit)) + name; };
    const auto signedWeight = [&](double pounds) {
        std::string text = weightIn(pounds, unit) > 0 ? "+" : "";
        return text.append(weight(pounds));
    };
    return {
        "*************** Fuel Check ****************",
        "Distance flown: " + toText(check.distanceFlown) +
            " nm, to go: " + toText(check.distanceToGo) + " nm",
        "Fuel on board: " + weight(check.fuelOnBoard) + ", planned here: " +
            weight(check.plannedFuelOnBoard) + ", difference: " + signedWeight(check.difference),
        "Landing fuel predicted: " + weight(check.predictedLandingFuel) + ", planned: " +
            weight(check.plannedLandingFuel) + ", margin: " + signedWeight(check.margin),
        "Reserves: " + weight(check.reserves),
        "Status: " + std::string(statusWords(check.status)),
    };
}

}  // namespace brimwell::engine
