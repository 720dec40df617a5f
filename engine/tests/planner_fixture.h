#pragma once

#include <gtest/gtest.h>

#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"

namespace brimwell {

// A planner on in-memory cells whose tables have been filled, as after the first Calculate.
class PlannerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        planner.cmdCalculate_Click();  // fills the tables; fails on the empty flight data
        sink.clear();
    }

    MemoryCells cells;
    RecordingSink sink;
    FuelPlanner planner{cells, sink};
};

}  // namespace brimwell
