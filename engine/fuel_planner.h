#pragma once

// The fuel planning engine: the Calculate command and the functions it delegates to.
//
// Every function takes texts and returns one text, and every value of a plan
// travels between the stages as the text of a cell, read back by the number-text rule
// (engine/number_text.h). Units: weights and fuel in lbs unless said otherwise, distances in
// nautical miles, wind in knots, times in minutes or "h:mm". A function that finds a distance,
// level or weight outside its table returns the empty text; any other failure throws
// CalculationError, which only cmdCalculate_Click catches.

#include <string>

#include "engine/cells.h"
#include "engine/performance_tables.h"

namespace brimwell {

class FuelPlanner final {
  public:
    // The planner reads and writes the cells and shows its one message through the sink; both
    // must outlive it.
    FuelPlanner(Cells& cells, MessageSink& messages);

    // The "Calculate" button: fills the tables, checks the nine mandatory inputs and writes the
    // fifteen result cells from top to bottom, colouring the limit cells. Any failure shows
    // "Please enter all Flight Data or check limits"; cells written before it keep their texts.
    // Returns true when the plan was completed.
    bool cmdCalculate_Click();

    // Fills the performance tables, as every Calculate does first, for look-ups made without one.
    void fillTables();

    // Trip fuel in lbs at the wind-corrected distance. Writes the corrected distance into
    // txtDistWinCorr, red when it lies outside the trip table (above 8400 nm or below 0).
    // Wind: knots; Direction "Head" lengthens the distance, "Tail" shortens it, anything else
    // means no wind.
    std::string PlanFuel(const std::string& Distance, const std::string& Wind,
                         const std::string& Direction, const std::string& FlightLevel);
    // Trip fuel correction in lbs (unrounded; negative below 475000 lbs) for a planned landing
    // weight PLW (lbs), at the uncorrected Distance (nm).
    std::string FuelCorrection(const std::string& PLW, const std::string& FlightLevel,
                               const std::string& Distance);
    // Fuel to the alternate in whole lbs for an alternate Distance "100" to "500" (nm) and a
    // LandingWeight (lbs); empty above 630000 lbs or for a distance not in the table.
    std::string AlternateFuel(const std::string& Distance, const std::string& LandingWeight) const;
    // Trip time "h:mm" at the wind-corrected distance; same arguments as PlanFuel.
    std::string ETA(const std::string& Distance, const std::string& Wind,
                    const std::string& Direction, const std::string& FlightLevel);
    // Optimal initial cruise altitude in feet for a planned gross takeoff weight (lbs).
    std::string InitialClimbAltitude(const std::string& PlannedTW) const;
    // Trip fuel in thousands of lbs, one decimal, for Distanza (nm) at level LDV ("FL350");
    // empty outside the table (above 8400 nm, below 0 nm, level outside FL410 to FL310).
    std::string TrovaFuel(const std::string& Distanza, std::string LDV);
    // Trip time in minutes, unrounded; otherwise as TrovaFuel.
    std::string TrovaTime(const std::string& Distanza, std::string LDV);

    const PerformanceTables& tables() const { return m_tables; }

  private:
    enum class TripFigure { Fuel, Time };
    std::string lookUpTrip(const std::string& Distanza, std::string LDV, TripFigure figure) const;
    double correctedDistance(const std::string& Distance, const std::string& Wind,
                             const std::string& Direction, const std::string& FlightLevel);
    void calculate();

    Cells& m_cells;
    MessageSink& m_messages;
    PerformanceTables m_tables;
};

}  // namespace brimwell
