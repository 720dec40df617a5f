#pragma once

// The fuel planning engine: the Calculate command and the functions it delegates to.
//
// Every function takes texts and returns one text, and every value of a plan
// travels between the stages as the text of a cell, read back by the number-text rule
// (engine/number_text.h). Units: weights and fuel in lbs unless said otherwise, distances in
// nautical miles, wind in knots, times in minutes or "h:mm". A function that finds a distance,
// level or weight outside its table returns the empty text; any other failure throws
// CalculationError, which only calculate() catches.

#include <optional>
#include <string>

#include "engine/cells.h"
#include "engine/performance_tables.h"

namespace brimwell::engine {

class FuelPlanner final {
  public:
    // The planner reads and writes the cells and shows its one message through the sink; both
    // must outlive it.
    FuelPlanner(Cells& cells, MessageSink& messages);

    // The "Calculate" button: fills the tables, checks the nine mandatory inputs and writes the
    // fifteen result cells from top to bottom, colouring the limit cells. Any failure shows
    // "Please enter all Flight Data or check limits"; cells written before it keep their texts.
    // Returns true when the plan was completed.
    bool calculate();

    // The pilot's fuel factor (1.05 for 5 % more), applied by every Calculate from then on: the
    // flight plan fuel is the tables' wind-corrected trip fuel times the factor, rounded half to
    // even, before any correction for the landing weight. None (the default) leaves every figure
    // as the tables give it.
    void setFuelFactor(std::optional<double> factor) { m_fuelFactor = factor; }

    // Fills the performance tables, as every Calculate does first, for look-ups made without one.
    void fillTables();

    // Trip fuel in lbs at the wind-corrected distance. Writes the corrected distance into
    // txtDistWinCorr, red when it lies outside the trip table (above 8400 nm or below 0).
    // windDirection "Head" lengthens the distance, "Tail" shortens it, anything else means no
    // wind.
    std::string windCorrectedTripFuel(const std::string& distanceNm, const std::string& windKnots,
                                      const std::string& windDirection, const std::string& level);
    // Trip fuel correction in lbs (unrounded; negative below 475000 lbs) for a planned landing
    // weight, at the uncorrected distance.
    std::string tripFuelCorrection(const std::string& landingWeightLbs, const std::string& level,
                                   const std::string& distanceNm);
    // Fuel to the alternate in whole lbs for an alternate distance "100" to "500" (nm) and a
    // landing weight; empty above 630000 lbs or for a distance not in the table.
    std::string alternateFuel(const std::string& alternateDistanceNm,
                              const std::string& landingWeightLbs) const;
    // Trip time "h:mm" at the wind-corrected distance; same arguments as windCorrectedTripFuel.
    std::string windCorrectedTripTime(const std::string& distanceNm, const std::string& windKnots,
                                      const std::string& windDirection, const std::string& level);
    // Optimal initial cruise altitude in feet for a planned gross takeoff weight.
    std::string initialCruiseAltitudeFeet(const std::string& grossTakeoffWeightLbs) const;
    // Trip fuel in thousands of lbs, one decimal, for a distance at a level ("FL350"); empty
    // outside the table (above 8400 nm, below 0 nm, level outside FL410 to FL310).
    std::string tripFuel(const std::string& distanceNm, std::string level);
    // Trip time in minutes, unrounded; otherwise as tripFuel.
    std::string tripMinutes(const std::string& distanceNm, std::string level);

    const PerformanceTables& tables() const { return m_tables; }

  private:
    enum class TripFigure { Fuel, Time };
    std::string lookUpTrip(const std::string& distanceNm, std::string level,
                           TripFigure figure) const;
    double windCorrectedDistance(const std::string& distanceNm, const std::string& windKnots,
                                 const std::string& windDirection, const std::string& level);
    // Calculate's work, which throws CalculationError where the plan cannot go on.
    void fillResults();

    Cells& m_cells;
    MessageSink& m_messages;
    PerformanceTables m_tables;
    std::optional<double> m_fuelFactor;
};

// A fuel factor as the pilot reads it: the percentage more (or less) than the tables, one
// decimal, rounded half away from zero, always signed: 1.05 "+5.0 %", 0.995 "-0.5 %", 1 "+0.0 %".
std::string fuelFactorPercent(double factor);

}  // namespace brimwell::engine
