#pragma once

// The aircraft's performance tables, shared by the whole engine.
//
// tripTable (24 x 13): row 0 holds the level names FL410, FL390, FL370, FL350, FL330, FL310 in
// the odd columns (each level owns its column c for the trip time "h:mm" and c + 1 for the trip
// fuel in thousands of lbs, decimal comma "380,0"); rows 1 to 21 hold the distance in nm in
// column 0, from 8400 down to 400; row 22 the fuel-burn correction rate per level, in lbs per
// hour for each 10,000 lbs of landing weight away from 475000 lbs; row 23 stays empty.
// alternateTable (7 x 6): alternate distance (nm), time, and fuel (lbs) at the landing weights
// 475000, 540000 and 630000 lbs of row 0. cruiseAltitudeTable (14 x 5): cruise level (hundreds of
// feet) and the takeoff weights (lbs) that go with it.
//
// The tables are empty until fill() runs; the Calculate command refills them with the same values
// at every press. Everything else only reads them.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace brimwell::engine {

// A fixed-size grid of text cells addressed (row, column) from 0. Reading or writing outside the
// grid throws CalculationError.
template <std::size_t Rows, std::size_t Columns>
class TextTable final {
  public:
    static constexpr std::size_t kRows = Rows;
    static constexpr std::size_t kColumns = Columns;

    const std::string& at(int row, int column) const { return m_cells[index(row, column)]; }
    void set(int row, int column, std::string_view text) { m_cells[index(row, column)] = text; }

  private:
    static std::size_t index(int row, int column);

    std::array<std::string, Rows * Columns> m_cells{};
};

class PerformanceTables final {
  public:
    TextTable<24, 13> tripTable;
    TextTable<7, 6> alternateTable;
    TextTable<14, 5> cruiseAltitudeTable;

    // Writes the 381 cells of the three tables; writing a cell replaces its text.
    void fill();
};

[[noreturn]] void throwOutsideTable(int row, int column);

template <std::size_t Rows, std::size_t Columns>
std::size_t TextTable<Rows, Columns>::index(int row, int column) {
    if (row < 0 || column < 0 || static_cast<std::size_t>(row) >= Rows ||
        static_cast<std::size_t>(column) >= Columns) {
        throwOutsideTable(row, column);
    }
    return static_cast<std::size_t>(row) * Columns + static_cast<std::size_t>(column);
}

}  // namespace brimwell::engine
