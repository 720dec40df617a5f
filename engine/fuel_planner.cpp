#include "engine/fuel_planner.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>

#include "engine/calculation_error.h"
#include "engine/cell_names.h"
#include "engine/flight_data.h"
#include "engine/number_text.h"

namespace brimwell {

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
std::int16_t minutes(const std::string& text) {
    return toInt16(toNumber(text));
}

}  // namespace

FuelPlanner::FuelPlanner(Cells& cells, MessageSink& messages)
    : m_cells(cells), m_messages(messages) {}

std::string FuelPlanner::lookUpTrip(const std::string& Distanza, std::string LDV,
                                    TripFigure figure) const {
    const auto& table = m_tables.tripTable;
    if (LDV == "FL310") {
        LDV = "FL310,1";  // FL310 lies just inside the last level pair
    }
    int upper = 0;  // the time column of the upper level of the pair
    for (int i = 1; i <= 9; i += 2) {
        if (textLessOrEqual(LDV, table.at(0, i)) && textGreater(LDV, table.at(0, i + 2))) {
            upper = i;
            break;
        }
    }
    if (upper == 0) {
        return "";
    }
    const int lower = upper + 2;
    const double a = levelValue(table.at(0, upper));
    const double b = levelValue(table.at(0, lower));
    const double L = levelValue(LDV);
    const double d = toNumber(Distanza);
    if (d < 0.0) {
        return "";  // a negative distance lies outside the table
    }

    const int offset = figure == TripFigure::Fuel ? 1 : 0;
    const auto value = [&](int row, int timeColumn) {
        const std::string& text = table.at(row, timeColumn + offset);
        return figure == TripFigure::Fuel ? toNumber(text) : timeOfDayMinutes(text);
    };
    const auto distance = [&](int row) { return toNumber(table.at(row, 0)); };

    double D1 = 0;
    double D2 = 0;
    double A1 = 0;
    double B1 = 0;
    double A2 = 0;
    double B2 = 0;
    bool found = false;
    for (int j = 1; j <= 20 && !found; ++j) {
        if (distance(j) >= d && distance(j + 1) < d) {
            D1 = distance(j);
            D2 = distance(j + 1);
            A1 = value(j, upper);
            B1 = value(j, lower);
            A2 = value(j + 1, upper);
            B2 = value(j + 1, lower);
            found = true;
        }
    }
    if (!found) {
        if (d > kTripTableShortest) {
            return "";  // beyond the longest distance
        }
        D1 = distance(21);
        D2 = 0;
        A1 = value(21, upper);
        B1 = value(21, lower);
        A2 = 0;
        B2 = 0;
    }
    const double P = finite(A1 + ((L - a) * (B1 - A1)) / (b - a));
    const double Q = finite(A2 + ((L - a) * (B2 - A2)) / (b - a));
    const double R = finite(Q - ((D2 - d) * (Q - P)) / (D2 - D1));
    return toText(figure == TripFigure::Fuel ? roundHalfEven(R, 1) : R);
}

std::string FuelPlanner::TrovaFuel(const std::string& Distanza, std::string LDV) {
    return lookUpTrip(Distanza, std::move(LDV), TripFigure::Fuel);
}

std::string FuelPlanner::TrovaTime(const std::string& Distanza, std::string LDV) {
    return lookUpTrip(Distanza, std::move(LDV), TripFigure::Time);
}

double FuelPlanner::correctedDistance(const std::string& Distance, const std::string& Wind,
                                      const std::string& Direction,
                                      const std::string& FlightLevel) {
    std::int16_t W = 0;  // signed wind, knots: positive for a head wind
    if (Direction == "Head") {
        W = toInt16(toNumber(Wind));
    } else if (Direction == "Tail") {
        W = toInt16(-toNumber(Wind));
    }
    const double T = toNumber(TrovaTime(Distance, FlightLevel));  // minutes, uncorrected distance
    const double C = roundHalfEven(finite(W * T) / 60.0);         // nm
    return finite(toNumber(Distance) + C);
}

std::string FuelPlanner::PlanFuel(const std::string& Distance, const std::string& Wind,
                                  const std::string& Direction, const std::string& FlightLevel) {
    const double Dc = correctedDistance(Distance, Wind, Direction, FlightLevel);
    m_cells.setText(cell::txtDistWinCorr, toText(Dc));
    const bool outside = Dc > kTripTableLongest || Dc < 0.0;
    m_cells.setBackground(cell::txtDistWinCorr,
                          outside ? kLimitRed : Background::windowBackground());
    const std::string F = TrovaFuel(toText(Dc), FlightLevel);  // thousands of lbs
    return toText(finite(toNumber(F) * 1000.0));
}

std::string FuelPlanner::ETA(const std::string& Distance, const std::string& Wind,
                             const std::string& Direction, const std::string& FlightLevel) {
    const double Dc = correctedDistance(Distance, Wind, Direction, FlightLevel);
    const double T2 = roundHalfEven(toNumber(TrovaTime(toText(Dc), FlightLevel)));
    const double H = std::floor(T2 / 60.0);
    const double M = T2 - 60.0 * H;
    return toText(H) + ":" + (M < 10.0 ? "0" : "") + toText(M);
}

std::string FuelPlanner::FuelCorrection(const std::string& PLW, const std::string& FlightLevel,
                                        const std::string& Distance) {
    const auto& table = m_tables.tripTable;
    const double L = FlightLevel == "FL310" ? 310.1 : levelValue(FlightLevel);
    const double S = roundHalfEven(finite(toNumber(PLW) - kReferenceLandingWeight) / 10000.0, 1);
    for (int i = 1; i <= 11; i += 2) {
        const double a = levelValue(table.at(0, i));
        const double b = levelValue(table.at(0, i + 2));
        if (L <= a && L > b) {
            const double c1 = toNumber(table.at(22, i));
            const double c2 = toNumber(table.at(22, i + 2));
            const double R = c1 + ((L - a) * (c2 - c1)) / (b - a);  // lbs/hr per 10,000 lbs
            const double K = finite(R * S);                         // lbs/hr
            const double T = toNumber(TrovaTime(Distance, FlightLevel));
            return toText(finite(T * K) / 60.0);
        }
    }
    // Not reached: the search runs past the last column of the table above.
    throw CalculationError("flight level outside the trip table");
}

std::string FuelPlanner::AlternateFuel(const std::string& Distance,
                                       const std::string& LandingWeight) const {
    const auto& table = m_tables.alternateTable;
    int row = 0;
    for (int i = 1; i <= 5; ++i) {
        if (table.at(i, 0) == Distance) {
            row = i;
            break;
        }
    }
    if (row == 0) {
        return "";
    }
    // Weights are compared as numbers; an empty header cell ends the weight columns.
    const double w = toNumber(LandingWeight);
    const auto weightUpTo = [&](int column) {
        const std::string& header = table.at(0, column);
        return !header.empty() && w <= toNumber(header);
    };
    for (int j = 2; j <= 4; ++j) {
        if (weightUpTo(j)) {
            return table.at(row, j);
        }
        if (weightUpTo(j + 1)) {
            const double W1 = toNumber(table.at(0, j));
            const double W2 = toNumber(table.at(0, j + 1));
            const double F1 = toNumber(table.at(row, j));
            const double F2 = toNumber(table.at(row, j + 1));
            return toText(roundHalfEven(finite(F1 + ((w - W1) * (F2 - F1)) / (W2 - W1))));
        }
    }
    return "";
}

std::string FuelPlanner::InitialClimbAltitude(const std::string& PlannedTW) const {
    const auto& table = m_tables.cruiseAltitudeTable;
    // Weights are compared as numbers, so that a seven-digit weight is not taken for a light one.
    const double weight = toNumber(PlannedTW);
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

bool FuelPlanner::cmdCalculate_Click() {
    try {
        calculate();
        return true;
    } catch (const std::exception&) {
        m_messages.showMessage(kFailureMessage);
        return false;
    }
}

void FuelPlanner::calculate() {
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
    m_cells.setText(cell::txtAF, AlternateFuel(m_cells.text(cell::cmbAlternateDistance),
                                               alternateLandingWeight));

    write(cell::txtCF,
          kContingencyFuelPerHour / 60.0 * minutes(m_cells.text(cell::txtContingencyTime)));

    write(cell::txtPLW, finite(number(cell::cmbMLF) + number(cell::txtZFW) + number(cell::txtAF) +
                               number(cell::txtCF)));
    colour(cell::txtPLW);
    copy(cell::txtPLW, cell::txtPLWDuplicate);

    const auto distance = [this] { return m_cells.text(cell::txtDestinationDistance); };
    const auto wind = [this] { return m_cells.text(cell::txtWindIntensity); };
    const auto direction = [this] { return m_cells.text(cell::cmbWindDirection); };
    const auto level = [this] { return m_cells.text(cell::cmbFlightLevel); };

    const double trip = roundHalfEven(toNumber(PlanFuel(distance(), wind(), direction(), level())));
    if (m_cells.isTicked(cell::CheckCorrection)) {
        const double correction = roundHalfEven(
            toNumber(FuelCorrection(m_cells.text(cell::txtPLW), level(), distance())));
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

    m_cells.setText(cell::txtETA, ETA(distance(), wind(), direction(), level()));
    m_cells.setText(cell::txtICA, InitialClimbAltitude(m_cells.text(cell::txtGTW)));
}

}  // namespace brimwell
