#pragma once

// The interface of the X-Plane link's module, brimwell-xplane.so (links/link_module.h): the
// exchange over the one HTTP client (links/xplane/xplane_link.h). Its face is
// links/xplane/xplane.h, whose structs cross as they are.

#include <chrono>

#include "engine/fuel_check.h"
#include "links/link_call.h"
#include "links/xplane/xplane.h"

namespace brimwell::links {

class XPlaneModule {
  public:
    virtual ~XPlaneModule() = default;
    // Loads the request into the aircraft (loadIntoXPlane).
    virtual XPlaneOutcome load(const XPlaneRequest& request,
                               LinkControl& control) const noexcept = 0;
    // One reading of the flight within the bound (readXPlaneFlight).
    virtual XPlaneFlightOutcome readFlight(const XPlaneAddress& address,
                                           std::chrono::milliseconds bound, bool checkAircraft,
                                           LinkControl& control) const noexcept = 0;
};

}  // namespace brimwell::links
