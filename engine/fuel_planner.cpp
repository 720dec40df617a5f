#include "engine/fuel_planner.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <exception>

#include "engine/calculation_error.h"
#include "engine/cell_limits.h"
#include "engine/cell_names.h"
#include "engine/number_text.h"
#include "engine/program_texts.h"

namespace brimwell::engine {

namespace {

// The largest distance of the trip table, nm.
constexpr double kTripTableLongest = 8400.0;
// Up to this distance (nm) the trip figures run on a straight line from zero to the last row.
constexpr double kTripTableShortest = 400.0;
// The landing weight that the trip table holds for, lbs.
constexpr double kReferenceLandingWeight = 475000.0;
// Contingency fuel flow, lbs per hour.
constexpr double kContingencyFuelPerHour = 18000.0;

// The level value of a level text: the text from its third character on ("FL350" is 350).
double levelValue(const std::string& level) {
    return toNumber(level.size() > 2 ? std::string_view(level).substr(2) : std::string_view());
}

// Contingency minutes: the number rounded half to even, as a signed 16-bit integer.
std::int16_t contingencyMinutes(const std::string& text) {
    return toInt16(toNumber(text));
}

}  // namespace

FuelPlanner::FuelPlanner(Cells& cells, MessageSink& messages)
    : m_cells(cells), m_messages(messages) {}

std::string FuelPlanner::lookUpTrip(const std::string& distanceNm, std::string level,
                                    TripFigure figure) const {
    const auto& table = m_tables.tripTable;
    if (level == "FL310") {
        level = "FL310,1";  // FL310 lies just inside the last level pair
    }
    int upper = 0;  // the time column of the upper level of the pair
    for (int i = 1; i <= 9; i += 2) {
        if (textLessOrEqual(level, table.at(0, i)) && textGreater(level, table.at(0, i + 2))) {
            upper = i;
            break;
        }
    }
    if (upper == 0) {
        return "";
    }
    const int lower = upper + 2;
    const double upperLevel = levelValue(table.at(0, upper));
    const double lowerLevel = levelValue(table.at(0, lower));
    const double wantedLevel = levelValue(level);
    const double distance = toNumber(distanceNm);
    if (distance < 0.0) {
        return "";  // a negative distance lies outside the table
    }

    const int offset = figure == TripFigure::Fuel ? 1 : 0;
    const auto value = [&](int row, int timeColumn) {
        const std::string& text = table.at(row, timeColumn + offset);
        return figure == TripFigure::Fuel ? toNumber(text) : timeOfDayMinutes(text);
    };
    const auto rowDistance = [&](int row) { return toNumber(table.at(row, 0)); };

    // The figures at the upper and the lower level on the two rows around the distance: the row
    // of the longer distance, and the row of the shorter one.
    double longer = 0;
    double shorter = 0;
    double longerUpper = 0;
    double longerLower = 0;
    double shorterUpper = 0;
    double shorterLower = 0;
    bool found = false;
    for (int j = 1; j <= 20 && !found; ++j) {
        if (rowDistance(j) >= distance && rowDistance(j + 1) < distance) {
            longer = rowDistance(j);
            shorter = rowDistance(j + 1);
            longerUpper = value(j, upper);
            longerLower = value(j, lower);
            shorterUpper = value(j + 1, upper);
            shorterLower = value(j + 1, lower);
            found = true;
        }
    }
    if (!found) {
        if (distance > kTripTableShortest) {
            return "";  // beyond the longest distance
        }
        longer = rowDistance(21);
        shorter = 0;
        longerUpper = value(21, upper);
        longerLower = value(21, lower);
        shorterUpper = 0;
        shorterLower = 0;
    }
    const auto atLevel = [&](double atUpper, double atLower) {
        return finite(atUpper + ((wantedLevel - upperLevel) * (atLower - atUpper)) /
                                    (lowerLevel - upperLevel));
    };
    const double atLonger = atLevel(longerUpper, longerLower);
    const double atShorter = atLevel(shorterUpper, shorterLower);
    const double figureAt =
        finite(atShorter - ((shorter - distance) * (atShorter - atLonger)) / (shorter - longer));
    return toText(figure == TripFigure::Fuel ? roundHalfEven(figureAt, 1) : figureAt);
}

std::string FuelPlanner::tripFuel(const std::string& distanceNm, std::string level) {
    return lookUpTrip(distanceNm, std::move(level), TripFigure::Fuel);
}

std::string FuelPlanner::tripMinutes(const std::string& distanceNm, std::string level) {
    return lookUpTrip(distanceNm, std::move(level), TripFigure::Time);
}

double FuelPlanner::windCorrectedDistance(const std::string& distanceNm,
                                          const std::string& windKnots,
                                          const std::string& windDirection,
                                          const std::string& level) {
    std::int16_t headWind = 0;  // signed wind, knots: positive for a head wind
    if (windDirection == "Head") {
        headWind = toInt16(toNumber(windKnots));
    } else if (windDirection == "Tail") {
        headWind = toInt16(-toNumber(windKnots));
    }
    // Minutes at the uncorrected distance, and the nm that the wind adds over them.
    const double uncorrectedMinutes = toNumber(tripMinutes(distanceNm, level));
    const double correctionNm = roundHalfEven(finite(headWind * uncorrectedMinutes) / 60.0);
    return finite(toNumber(distanceNm) + correctionNm);
}

std::string FuelPlanner::windCorrectedTripFuel(const std::string& distanceNm,
                                               const std::string& windKnots,
                                               const std::string& windDirection,
                                               const std::string& level) {
    const double corrected = windCorrectedDistance(distanceNm, windKnots, windDirection, level);
    m_cells.setText(cell::txtDistWinCorr, toText(corrected));
    const bool outside = corrected > kTripTableLongest || corrected < 0.0;
    m_cells.setBackground(cell::txtDistWinCorr,
                          outside ? kLimitRed : Background::windowBackground());
    const std::string thousandsLbs = tripFuel(toText(corrected), level);
    return toText(finite(toNumber(thousandsLbs) * 1000.0));
}

std::string FuelPlanner::windCorrectedTripTime(const std::string& distanceNm,
                                               const std::string& windKnots,
                                               const std::string& windDirection,
                                               const std::string& level) {
    const double corrected = windCorrectedDistance(distanceNm, windKnots, windDirection, level);
    const double minutes = roundHalfEven(toNumber(tripMinutes(toText(corrected), level)));
    const double hours = std::floor(minutes / 60.0);
    const double minutesPast = minutes - 60.0 * hours;
    return toText(hours) + ":" + (minutesPast < 10.0 ? "0" : "") + toText(minutesPast);
}

std::string FuelPlanner::tripFuelCorrection(const std::string& landingWeightLbs,
                                            const std::string& level,
                                            const std::string& distanceNm) {
    const auto& table = m_tables.tripTable;
    const double wantedLevel = level == "FL310" ? 310.1 : levelValue(level);
    // The landing weight away from the table's, in steps of 10,000 lbs.
    const double steps =
        roundHalfEven(finite(toNumber(landingWeightLbs) - kReferenceLandingWeight) / 10000.0, 1);
    for (int i = 1; i <= 11; i += 2) {
        const double upperLevel = levelValue(table.at(0, i));
        const double lowerLevel = levelValue(table.at(0, i + 2));
        if (wantedLevel <= upperLevel && wantedLevel > lowerLevel) {
            const double upperRate = toNumber(table.at(22, i));
            const double lowerRate = toNumber(table.at(22, i + 2));
            // lbs/hr for each step, at the level
            const double ratePerStep =
                upperRate +
                ((wantedLevel - upperLevel) * (lowerRate - upperRate)) / (lowerLevel - upperLevel);
            const double lbsPerHour = finite(ratePerStep * steps);
            const double minutes = toNumber(tripMinutes(distanceNm, level));
            return toText(finite(minutes * lbsPerHour) / 60.0);
        }
    }
    // Not reached: the search runs past the last column of the table above.
    throw CalculationError("flight level outside the trip table");
}

std::string FuelPlanner::alternateFuel(const std::string& alternateDistanceNm,
                                       const std::string& landingWeightLbs) const {
    const auto& table = m_tables.alternateTable;
    int row = 0;
    for (int i = 1; i <= 5; ++i) {
        if (table.at(i, 0) == alternateDistanceNm) {
            row = i;
            break;
        }
    }
    if (row == 0) {
        return "";
    }
    // Weights are compared as numbers; an empty header cell ends the weight columns.
    const double weight = toNumber(landingWeightLbs);
    const auto weightUpTo = [&](int column) {
        const std::string& header = table.at(0, column);
        return !header.empty() && weight <= toNumber(header);
    };
    for (int j = 2; j <= 4; ++j) {
        if (weightUpTo(j)) {
            return table.at(row, j);
        }
        if (weightUpTo(j + 1)) {
            const double lighter = toNumber(table.at(0, j));
            const double heavier = toNumber(table.at(0, j + 1));
            const double lighterFuel = toNumber(table.at(row, j));
            const double heavierFuel = toNumber(table.at(row, j + 1));
            return toText(roundHalfEven(
                finite(lighterFuel +
                       ((weight - lighter) * (heavierFuel - lighterFuel)) / (heavier - lighter))));
        }
    }
    return "";
}

std::string FuelPlanner::initialCruiseAltitudeFeet(const std::string& grossTakeoffWeightLbs) const {
    const auto& table = m_tables.cruiseAltitudeTable;
    // Weights are compared as numbers, so that a seven-digit weight is not taken for a light one.
    const double weight = toNumber(grossTakeoffWeightLbs);
    for (int i = 0; i <= 11; ++i) {
        const double threshold = (toNumber(table.at(i, 1)) + toNumber(table.at(i + 1, 1))) / 2.0;
        if (weight <= threshold) {
            return toText(toNumber(table.at(i, 0)) * 100.0);
        }
    }
    return toText(toNumber(table.at(12, 0)) * 100.0);
}

void FuelPlanner::fillTables() {
    m_tables.fill();
}

bool FuelPlanner::calculate() {
    try {
        fillResults();
        return true;
    } catch (const std::exception&) {
        m_messages.showMessage(kFailureMessage);
        return false;
    }
}

void FuelPlanner::fillResults() {
    fillTables();

    constexpr std::array mandatory = {
        cell::txtDestinationDistance,
        cell::cmbAlternateDistance,
        cell::cmbWindDirection,
        cell::txtWindIntensity,
        cell::cmbFlightLevel,
        cell::txtPayLoad,
        cell::txtContingencyTime,
        cell::cmbMLF,
        cell::txtTFB,
    };
    for (const auto name : mandatory) {
        if (m_cells.text(name).empty()) {
            throw CalculationError("missing flight data");
        }
    }

    const auto number = [this](std::string_view name) { return toNumber(m_cells.text(name)); };
    const auto write = [this](std::string_view name, double value) {
        m_cells.setText(name, toText(value));
    };
    const auto colour = [&](std::string_view name) {
        const auto* const rule =
            std::find_if(kResultLimits.begin(), kResultLimits.end(),
                         [name](const ResultLimit& limit) { return limit.cell == name; });
        m_cells.setBackground(
            name, number(name) > rule->limit ? kLimitRed : Background::windowBackground());
    };
    const auto copy = [this](std::string_view from, std::string_view to) {
        m_cells.setText(to, m_cells.text(from));
    };

    copy(cell::txtPayLoad, cell::txtPayLoadDuplicate);
    const double payload = number(cell::txtPayLoadDuplicate);

    write(cell::txtZFW, finite(number(cell::txtBOW) + payload));
    colour(cell::txtZFW);
    copy(cell::txtZFW, cell::txtZFWDuplicate);

    const std::string alternateLandingWeight =
        toText(finite(number(cell::cmbMLF) + number(cell::txtZFWDuplicate)));
    m_cells.setText(cell::txtAF, alternateFuel(m_cells.text(cell::cmbAlternateDistance),
                                               alternateLandingWeight));

    write(cell::txtCF, kContingencyFuelPerHour / 60.0 *
                           contingencyMinutes(m_cells.text(cell::txtContingencyTime)));

    write(cell::txtPLW, finite(number(cell::cmbMLF) + number(cell::txtZFW) + number(cell::txtAF) +
                               number(cell::txtCF)));
    colour(cell::txtPLW);
    copy(cell::txtPLW, cell::txtPLWDuplicate);

    const auto distance = [this] { return m_cells.text(cell::txtDestinationDistance); };
    const auto wind = [this] { return m_cells.text(cell::txtWindIntensity); };
    const auto direction = [this] { return m_cells.text(cell::cmbWindDirection); };
    const auto level = [this] { return m_cells.text(cell::cmbFlightLevel); };

    const double tables = toNumber(windCorrectedTripFuel(distance(), wind(), direction(), level()));
    const double trip = roundHalfEven(m_fuelFactor ? finite(tables * *m_fuelFactor) : tables);
    if (m_cells.isTicked(cell::CheckCorrection)) {
        const double correction = roundHalfEven(
            toNumber(tripFuelCorrection(m_cells.text(cell::txtPLW), level(), distance())));
        write(cell::txtFPF, finite(correction + trip));
    } else {
        write(cell::txtFPF, trip);
    }

    write(cell::txtGTW, finite(number(cell::txtPLWDuplicate) + number(cell::txtFPF)));
    colour(cell::txtGTW);
    copy(cell::txtGTW, cell::txtGTWDuplicate);

    write(cell::txtTW, finite(number(cell::txtTFB) + number(cell::txtGTWDuplicate)));
    colour(cell::txtTW);

    write(cell::txtFL, finite(number(cell::txtAF) + number(cell::cmbMLF) + number(cell::txtCF) +
                              number(cell::txtFPF) + number(cell::txtTFB)));
    colour(cell::txtFL);

    m_cells.setText(cell::txtETA, windCorrectedTripTime(distance(), wind(), direction(), level()));
    m_cells.setText(cell::txtICA, initialCruiseAltitudeFeet(m_cells.text(cell::txtGTW)));
}

std::string fuelFactorPercent(double factor) {
    const long long tenths = std::llround((factor - 1) * 1000);
    const long long size = tenths < 0 ? -tenths : tenths;
    std::array<char, 32> text{};
    (void)std::snprintf(text.data(), text.size(), "%c%lld.%lld %%", tenths < 0 ? '-' : '+',
                        size / 10, size % 10);
    return text.data();
}

}  // namespace brimwell::engine
