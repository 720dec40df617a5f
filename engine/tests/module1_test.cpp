#include "engine/module1.h"

#include <gtest/gtest.h>

#include "engine/calculation_error.h"
#include "engine/number_text.h"

namespace brimwell {
namespace {

template <typename Table>
void expectAllEmpty(const Table& table) {
    for (int r = 0; r < static_cast<int>(Table::kRows); ++r) {
        for (int c = 0; c < static_cast<int>(Table::kColumns); ++c) {
            EXPECT_EQ(table.at(r, c), "") << r << ", " << c;
        }
    }
}

template <typename Table>
int filledCells(const Table& table) {
    int count = 0;
    for (int r = 0; r < static_cast<int>(Table::kRows); ++r) {
        for (int c = 0; c < static_cast<int>(Table::kColumns); ++c) {
            count += table.at(r, c).empty() ? 0 : 1;
        }
    }
    return count;
}

TEST(Module1, TablesAreEmptyBeforeTheFirstFill) {
    const Module1 module;
    expectAllEmpty(module.TripTable);
    expectAllEmpty(module.AlternateTable);
    expectAllEmpty(module.CruiseAltitudeTable);
}

TEST(Module1, FillWritesTheKnownCells) {
    Module1 module;
    module.FillPerformanceTables();
    const auto& trip = module.TripTable;
    EXPECT_EQ(trip.at(0, 0), "0");
    EXPECT_EQ(trip.at(1, 0), "8400");
    EXPECT_EQ(trip.at(21, 0), "400");
    EXPECT_EQ(trip.at(0, 11), "FL310");
    EXPECT_EQ(trip.at(22, 0), "Adjust");
    EXPECT_EQ(trip.at(22, 11), "320");
    EXPECT_EQ(trip.at(22, 12), "lbs/hr");
    EXPECT_EQ(trip.at(17, 12), "97,7");
    EXPECT_EQ(toNumber(trip.at(17, 12)) * 1000, 97700);
    EXPECT_EQ(toNumber(trip.at(20, 2)) * 1000, 46500);
    EXPECT_EQ(trip.at(4, 5), "14:47");
    EXPECT_EQ(module.AlternateTable.at(0, 4), "630000");
    EXPECT_EQ(module.AlternateTable.at(5, 4), "25400");
    EXPECT_EQ(module.CruiseAltitudeTable.at(12, 0), "300");
    EXPECT_EQ(module.CruiseAltitudeTable.at(0, 1), "470000");

    // 299 + 30 + 52 cells are written, of which the four blank header cells stay empty.
    EXPECT_EQ(filledCells(trip), 299);
    EXPECT_EQ(filledCells(module.AlternateTable), 28);
    EXPECT_EQ(filledCells(module.CruiseAltitudeTable), 50);
    for (int c = 0; c < 13; ++c) {
        EXPECT_EQ(trip.at(23, c), "");
    }
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(module.AlternateTable.at(6, c), "");
    }
    for (int r = 0; r < 7; ++r) {
        EXPECT_EQ(module.AlternateTable.at(r, 5), "");
    }
    for (int r = 0; r < 14; ++r) {
        EXPECT_EQ(module.CruiseAltitudeTable.at(r, 4), "");
    }
}

TEST(Module1, EveryTimeAndFuelCellReadsAsItsKind) {
    Module1 module;
    module.FillPerformanceTables();
    for (int r = 1; r <= 21; ++r) {
        for (int c = 1; c <= 11; c += 2) {
            EXPECT_NO_THROW(timeOfDayMinutes(module.TripTable.at(r, c))) << r << ", " << c;
            EXPECT_NO_THROW(toNumber(module.TripTable.at(r, c + 1))) << r << ", " << c + 1;
        }
        if (r < 21) {  // distances strictly descending
            EXPECT_GT(toNumber(module.TripTable.at(r, 0)), toNumber(module.TripTable.at(r + 1, 0)));
        }
    }
}

TEST(Module1, FillingTwiceGivesTheSameTables) {
    Module1 once;
    once.FillPerformanceTables();
    Module1 twice;
    twice.FillPerformanceTables();
    twice.TripTable.set(5, 5, "changed");
    twice.FillPerformanceTables();
    for (int r = 0; r < 24; ++r) {
        for (int c = 0; c < 13; ++c) {
            EXPECT_EQ(once.TripTable.at(r, c), twice.TripTable.at(r, c));
        }
    }
}

TEST(Module1, ReadingOutsideATableFails) {
    const Module1 module;
    EXPECT_THROW(module.TripTable.at(0, 13), CalculationError);
    EXPECT_THROW(module.TripTable.at(24, 0), CalculationError);
    EXPECT_THROW(module.AlternateTable.at(-1, 0), CalculationError);
    EXPECT_THROW(module.CruiseAltitudeTable.at(0, 5), CalculationError);
}

}  // namespace
}  // namespace brimwell
