#include "links/xplane/fuel_tanks.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace brimwell::links {

namespace {

// One step of the loading order: the slots filled equally, until the first of them is full.
struct Stage {
    std::array<std::size_t, 4> slots;
    std::size_t count;
};

constexpr std::array<Stage, 5> kLoadingOrder = {{
    {{1, 2, 3, 4}, 4},  // main tanks 1 to 4, until mains 1 and 4 are full
    {{2, 3}, 2},        // main tanks 2 and 3
    {{5, 6}, 2},        // reserve tanks 2 and 3
    {{0}, 1},           // centre wing tank
    {{7}, 1},           // stabiliser tank
}};

// Less than a gram left over is the rounding of the sums, not fuel.
constexpr double kLeftOverIgnored = 0.001;

}  // namespace

bool is747TankLayout(const std::vector<double>& shares) {
    if (shares.size() != kTanks747.size()) {
        return false;
    }
    for (std::size_t slot = 0; slot < shares.size(); ++slot) {
        if (!(std::abs(shares[slot] - kTanks747[slot].share) <= kTankShareTolerance)) {
            return false;
        }
    }
    return true;
}

SpreadFuel spreadFuel(double fuelKg, const TankMasses& capacities) {
    SpreadFuel spread;
    double left = fuelKg;
    for (const auto& stage : kLoadingOrder) {
        double room = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < stage.count; ++i) {
            const std::size_t slot = stage.slots[i];
            room = std::min(room, capacities[slot] - spread.tanks[slot]);
        }
        // Every tank is filled to its capacity at most, so no room is ever below zero.
        const double each = std::min(std::max(left, 0.0) / static_cast<double>(stage.count), room);
        for (std::size_t i = 0; i < stage.count; ++i) {
            spread.tanks[stage.slots[i]] += each;
        }
        left -= each * static_cast<double>(stage.count);
    }
    spread.leftOver = left > kLeftOverIgnored ? left : 0.0;
    return spread;
}

}  // namespace brimwell::links
