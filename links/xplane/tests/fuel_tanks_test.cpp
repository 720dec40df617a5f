// The 747-400's loading order, on tanks of 100000 kg in all: mains 1 and 4 hold 7800 kg each,
// mains 2 and 3 22000, the reserves 2300, the centre 30000 and the stabiliser 5800.

#include <gtest/gtest.h>

#include <vector>

#include "links/xplane/fuel_tanks.h"

namespace brimwell::test {
namespace {

using links::is747TankLayout;
using links::kXPlaneTanks;
using links::SpreadFuel;
using links::spreadFuel;
using links::TankMasses;

const TankMasses kCapacities = {30000, 7800, 22000, 22000, 7800, 2300, 2300, 5800, 0};

struct Row {
    const char* name = "";
    double fuel;
    TankMasses tanks;  // centre, main 1 to 4, reserve 2 and 3, stabiliser, unused
    double leftOver;
};

// clang-format off
const std::vector<Row> kRows = {
    {"none",                          0, {0,     0,     0,     0,     0,    0,    0,    0, 0},   0},
    {"below mains 1 and 4 full",  20000, {0,  5000,  5000,  5000,  5000,    0,    0,    0, 0},   0},
    {"mains 1 and 4 just full",   31200, {0,  7800,  7800,  7800,  7800,    0,    0,    0, 0},   0},
    {"into mains 2 and 3",        45400, {0,  7800, 14900, 14900,  7800,    0,    0,    0, 0},   0},
    {"into the reserves",         62000, {0,  7800, 22000, 22000,  7800, 1200, 1200,    0, 0},   0},
    {"into the centre",           80000, {15800, 7800, 22000, 22000, 7800, 2300, 2300, 0, 0},  0},
    {"into the stabiliser",       97000, {30000, 7800, 22000, 22000, 7800, 2300, 2300, 2800, 0}, 0},
    {"every tank full",          100000, {30000, 7800, 22000, 22000, 7800, 2300, 2300, 5800, 0}, 0},
    {"over the capacity",        100500, {30000, 7800, 22000, 22000, 7800, 2300, 2300, 5800, 0}, 500},
};
// clang-format on

TEST(FuelTanks, SpreadsByTheLoadingOrder) {
    for (const auto& row : kRows) {
        const SpreadFuel spread = spreadFuel(row.fuel, kCapacities);
        for (std::size_t slot = 0; slot < kXPlaneTanks; ++slot) {
            EXPECT_NEAR(spread.tanks[slot], row.tanks[slot], 1e-6) << row.name << ", slot " << slot;
        }
        EXPECT_NEAR(spread.leftOver, row.leftOver, 1e-6) << row.name;
    }
}

TEST(FuelTanks, TakesALayoutForThe747sWithinTheTolerance) {
    const std::vector<double> boeing747 = {0.300, 0.078, 0.220, 0.220, 0.078,
                                           0.023, 0.023, 0.058, 0.0};
    const auto withMain1 = [&](double share) {
        auto shares = boeing747;
        shares[1] = share;
        return shares;
    };
    const std::vector<std::pair<std::vector<double>, bool>> rows = {
        {boeing747, true},
        {withMain1(0.0829), true},
        {withMain1(0.0832), false},
        {withMain1(0.0728), false},
        {{0.300, 0.078, 0.220, 0.220, 0.078, 0.023, 0.023, 0.058}, false},
    };
    for (const auto& [shares, is747] : rows) {
        EXPECT_EQ(is747TankLayout(shares), is747) << shares[1] << " in main 1, " << shares.size();
    }
}

}  // namespace
}  // namespace brimwell::test
