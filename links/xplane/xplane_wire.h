#pragma once

// What crosses between the X-Plane link's face (xplane.cpp) and its module (xplane_module.cpp):
// the request and the outcome as JSON texts, by links/link_module.h's convention. Inside the
// link only.
//
//   request: {"operation": "load", "url", "bound_ms", "fuel_kg", "payload_kg", "unit"}
//            {"operation": "read", "url", "bound_ms"}
//   answer of a load: {"tanks_written", "tanks_read", "payload_written", "payload_read"} (kg),
//            or {"refusal", "fuel_accepted", "payload_accepted"} once something was written;
//   answer of a read: {"fuel_kg", "distance_m"};
//   a refusal before anything was written is the call's own refusal, its reason in words.

#include <string>
#include <string_view>

#include "links/xplane/xplane.h"

namespace brimwell::links::wire {

std::string loadRequest(const XPlaneRequest& request);
std::string readRequest(const XPlaneAddress& address, std::chrono::milliseconds bound);
std::string outcome(const XPlaneOutcome& outcome);
std::string reading(const engine::FuelReading& reading);

// The face's reading of the module's answer; a call refused is XPlaneRefused with its reason.
XPlaneOutcome loadOutcome(const LinkAnswer& answer);
std::variant<engine::FuelReading, XPlaneRefused> readOutcome(const LinkAnswer& answer);

}  // namespace brimwell::links::wire
