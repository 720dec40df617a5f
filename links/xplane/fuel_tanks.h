#pragma once

// The 747-400's fuel tanks: whether an aircraft's tank layout is the 747-400's, and how a total
// fuel load is spread over its tanks. Pure functions, in kilograms, by X-Plane's tank slot.

#include <vector>

#include "links/xplane/xplane.h"

namespace brimwell::links {

// How far each tank's share may stray from the 747-400's and still be taken for it.
inline constexpr double kTankShareTolerance = 0.005;

// Whether the shares of the total capacity (acf_tank_rat) are the 747-400's: nine of them, each
// within the tolerance of kTanks747.
bool is747TankLayout(const std::vector<double>& shares);

struct SpreadFuel {
    TankMasses tanks{};   // kg in each slot
    double leftOver = 0;  // kg that did not fit; 0 when everything did
};

// Spreads fuelKg over tanks of the given capacities (kg) by the 747-400's loading order, always
// symmetric: main tanks 1 to 4 equally until mains 1 and 4 are full; then mains 2 and 3 equally
// until full; then reserve tanks 2 and 3 equally until full; then the centre wing tank; then the
// stabiliser tank. A pair of tanks is full when the smaller of the two is.
SpreadFuel spreadFuel(double fuelKg, const TankMasses& capacities);

}  // namespace brimwell::links
