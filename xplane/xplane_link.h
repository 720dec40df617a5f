#pragma once

// The link to X-Plane 12's web API (12.1.1 and later): plain HTTP to the pilot's machine, seven
// requests on one kept-alive connection, all within one bound.
//
//   1. GET   /api/v1/datarefs?filter[name]=…  the ids of the four datarefs, by name (ids hold for
//                                              one run of X-Plane only)
//   2. GET   …/{id}/value  acf_tank_rat        each tank's share of the capacity (9 floats)
//   3. GET   …/{id}/value  acf_m_fuel_tot      the total capacity, kg
//   4. PATCH …/{id}/value  m_fuel              the nine tanks, kg, written whole
//   5. PATCH …/{id}/value  m_fixed             the payload, kg
//   6. GET   …/{id}/value  m_fuel              read back
//   7. GET   …/{id}/value  m_fixed             read back
//
// Every check comes before the first write, so a refusal before step 4 has written nothing.

#include <chrono>

#include "xplane/xplane_load.h"

namespace brimwell {

class XPlaneLink final {
  public:
    // bound: the time the whole exchange may take; every request's connection, read and write
    // timeouts are cut to what is left of it. unit: the unit a refusal names its weights in.
    XPlaneLink(XPlaneAddress address, std::chrono::milliseconds bound, Unit unit = Unit::Pounds);

    // Loads fuelKg by the 747-400's loading order and payloadKg into the aircraft. Never throws.
    XPlaneOutcome load(double fuelKg, double payloadKg) const;

  private:
    XPlaneAddress m_address;
    std::chrono::milliseconds m_bound;
    Unit m_unit;
};

}  // namespace brimwell
