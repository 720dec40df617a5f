#pragma once

// The fuel check in flight: a completed plan against one reading of X-Plane's fuel.
//
// The plan's fuel along its way follows the trip table: the planned burn to x nm flown is
// txtFPF × T(x·k) ÷ T(txtDistWinCorr), left to right in doubles and rounded as Calculate rounds the
// trip fuel (the number of its text, half to even to whole lbs). k = txtDistWinCorr ÷
// txtDestinationDistance, and T(d) is the number of FuelPlanner::tripFuel's text for the text of
// d nm at cmbFlightLevel, the look-up by which Calculate finds the trip fuel. The burn is 0 at 0 nm
// and txtFPF from the destination on. The landing fuel is predicted from the fuel on board less the
// plan's burn still to come, and judged against the planned landing fuel (cmbMLF + txtAF + txtCF)
// and the reserves (cmbMLF + txtAF).
//
// Every figure is worked out in pounds, and the status judged in pounds. In kilograms each figure
// is its own pound figure converted (× 0.45359237, rounded half to even), as the schematic's are:
// no figure comes from kilograms. So a predicted landing fuel 1 lb below the reserves may show the
// same kilograms as they do, and "reserves at risk".
//
// Refusals are values, never exceptions: a plan that cannot be checked against, or a reading that
// is no flight's, gives FuelCheckRefused with the reason in words for the pilot.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/cells.h"
#include "engine/units.h"

namespace brimwell::engine {

// One reading of X-Plane: sim/flightmodel/weight/m_fuel_total (kg) and
// sim/flightmodel/controls/dist (metres travelled since the flight's start).
struct FuelReading {
    double fuelOnBoardKg = 0;
    double distanceTravelledMetres = 0;
};

// The most a reading may hold: over five times the fuel a 747-400 carries, and over six times the
// longest leg of the trip table. Anything beyond is no flight's.
inline constexpr double kMostFuelOnBoardKg = 1'000'000;
inline constexpr double kLongestTravelMetres = 100'000'000;

enum class FuelStatus {
    OnPlan,            // predicted landing fuel at least 99 % of the planned landing fuel
    ContingencyInUse,  // below that, but at least the reserves
    ReservesAtRisk,    // below the reserves
};

// "on plan", "contingency in use", "reserves at risk".
std::string_view statusWords(FuelStatus status);

// The check of one reading. Distances in whole nm, weights in whole lbs. As txtFL is the sum of
// txtTFB, txtFPF and the planned landing fuel, the margin always equals the difference.
struct FuelCheck {
    double distanceFlown = 0;         // the metres travelled ÷ 1852, rounded half to even
    double distanceToGo = 0;          // txtDestinationDistance less the distance flown, not below 0
    double plannedBurn = 0;           // the plan's burn to the distance flown
    double fuelOnBoard = 0;           // the reading in lbs, rounded half to even
    double plannedFuelOnBoard = 0;    // txtFL − txtTFB − plannedBurn
    double difference = 0;            // fuelOnBoard − plannedFuelOnBoard
    double predictedLandingFuel = 0;  // fuelOnBoard − (txtFPF − plannedBurn)
    double plannedLandingFuel = 0;    // cmbMLF + txtAF + txtCF
    double reserves = 0;              // cmbMLF + txtAF
    double margin = 0;                // predictedLandingFuel − plannedLandingFuel
    FuelStatus status = FuelStatus::OnPlan;
};

struct FuelCheckRefused {
    std::string reason;
};

// A completed plan, as the check reads it. Read it from the cells on the thread that owns them;
// its functions then read no cell, so they may run on any one thread at a time.
class FuelPlanLine final {
  public:
    // The plan in the cells, which hold pounds (engine/unit_cells.h) and the plan of the last
    // Calculate that completed; or the refusal when there is none. Refused: an empty or
    // unreadable figure; a total fuel load that is not the sum of its parts (the cells hold parts
    // of two plans); a distance below 0 or above its entry limit of 8400 nm, a weight below 0 or
    // beyond kMostFuelOnBoardKg in pounds, a level or a wind-corrected distance outside the trip
    // table; and a plan to somewhere (distance above 0) whose wind-corrected distance the trip
    // table gives no fuel (T(txtDistWinCorr) = 0, so that its burn along the way would divide by
    // 0). A plan of 0 nm divides by nothing: every distance is at or past its destination, where
    // the burn is txtFPF.
    static std::variant<FuelPlanLine, FuelCheckRefused> read(const CellReader& poundCells);

    // A line moved from may only be assigned to or destroyed.
    FuelPlanLine(FuelPlanLine&& other) noexcept;
    FuelPlanLine& operator=(FuelPlanLine&& other) noexcept;
    FuelPlanLine(const FuelPlanLine&) = delete;
    FuelPlanLine& operator=(const FuelPlanLine&) = delete;
    ~FuelPlanLine();

    double destinationDistance() const { return m_distance; }  // txtDestinationDistance, nm
    double takeoffFuel() const;                                // txtFL − txtTFB, lbs
    double plannedLandingFuel() const;                         // cmbMLF + txtAF + txtCF, lbs
    double reserves() const;                                   // cmbMLF + txtAF, lbs

    // The plan's burn (lbs) and fuel on board (lbs) after distanceNm nm flown, for any finite
    // distance from 0 (beyond the destination, the whole flight plan fuel is burnt); nullopt for
    // a distance below 0 or not finite. From takeoffFuel() at 0 to plannedLandingFuel() at the
    // destination: the plan's line on the fuel plot.
    std::optional<double> plannedBurn(double distanceNm) const;
    std::optional<double> plannedFuelOnBoard(double distanceNm) const;

    // The check of one reading; refused when the reading is no flight's: a figure that is not
    // finite, below 0, over kMostFuelOnBoardKg of fuel or over kLongestTravelMetres travelled. The
    // refusal quotes X-Plane's figures as it gave them, in kg and metres.
    std::variant<FuelCheck, FuelCheckRefused> check(const FuelReading& reading) const;

  private:
    struct TripLookUp;

    FuelPlanLine();
    // The burn after x nm, x finite and not below 0; nullopt if the trip table cannot be read.
    std::optional<double> burnTo(double x) const;

    std::unique_ptr<TripLookUp> m_lookUp;  // Calculate's look-up, on tables of its own
    std::string m_level;
    double m_distance = 0;
    double m_correctedDistance = 0;
    double m_correctedTripFuel = 0;  // T(txtDistWinCorr)
    double m_flightPlanFuel = 0;
    double m_fuelLoad = 0;
    double m_taxiFuel = 0;
    double m_minimumLandingFuel = 0;
    double m_alternateFuel = 0;
    double m_contingencyFuel = 0;
};

// A weight of the check in the unit the pilot reads: pounds as they are, kilograms converted and
// rounded half to even to whole kg.
double weightIn(double pounds, Unit unit);

// The check in words, weights in the unit, the lines that follow the printed report:
//   *************** Fuel Check ****************
//   Distance flown: 1620 nm, to go: 2380 nm
//   Fuel on board: 132277 lbs, planned here: 142852 lbs, difference: -10575 lbs
//   Landing fuel predicted: 28777 lbs, planned: 39352 lbs, margin: -10575 lbs
//   Reserves: 30352 lbs
//   Status: reserves at risk
// A difference or margin above 0 carries its "+".
std::vector<std::string> checkLines(const FuelCheck& check, Unit unit);

}  // namespace brimwell::engine
