#pragma once

// The exchange with X-Plane 12's web API (12.1.1 and later), inside the module brimwell-xplane.so:
// plain HTTP to the pilot's machine, on one kept-alive connection, every request within one
// deadline. A load takes eight requests:
//
//   1. GET   /api/v1/datarefs?filter[name]=…  the ids of the four datarefs, by name (ids hold for
//                                              one run of X-Plane only)
//   2. GET   …/{id}/value  acf_tank_rat        each tank's share of the capacity (9 floats)
//   3. GET   …/{id}/value  acf_m_fuel_tot      the total capacity, kg
//   4. GET   /api/v1/datarefs?filter[name]=…  the ids of acf_m_station_max and m_stations, on
//                                              their own: a list that names a dataref X-Plane
//                                              lacks is refused whole (404)
//   5. PATCH …/{id}/value  m_fuel              the nine tanks, kg, written whole
//   6. PATCH …/{id}/value  m_fixed             the payload, kg
//   7. GET   …/{id}/value  m_fuel              read back
//   8. GET   …/{id}/value  m_fixed             read back
//
// and a reading in flight three: the ids of m_fuel_total and dist, then their values. A reading
// of the watch asks for the ids of its nine datarefs (and acf_tank_rat at its first, to check
// the aircraft), then reads each.
//
// Where X-Plane has the two, step 4 is followed by a read of the stations' maxima
// (acf_m_station_max, 9 floats, kg). An aircraft with payload stations (a maximum above 0) has
// X-Plane keep m_fixed the sum of m_stations, so a write to m_fixed would not hold: step 6 writes
// m_stations instead, each station its share of the payload by its maximum (none above it; a
// payload over their sum is refused), and m_stations is read back before m_fixed.
//
// Every answer is data, never trusted: at most 64 KiB, JSON no deeper than X-Plane nests it,
// every figure finite and physical before it is used or told, X-Plane's own words cleaned and
// cut (base/shown_text.h). Every check comes before the first write, so a refusal before step 5
// has written nothing.

#include <chrono>
#include <functional>
#include <string>

#include "links/http/http_client.h"
#include "links/link_call.h"
#include "links/xplane/xplane.h"

namespace brimwell::links {

// How the exchange reaches X-Plane: a request to X-Plane's answer. A GET when patchBody is null,
// else a PATCH with that body; the target is the path and query. Throws HttpError when no answer
// came. Over the network it is xplaneOverHttp; the fuzzer gives answers of its own.
using XPlaneTransport =
    std::function<HttpAnswer(const std::string& target, const std::string* patchBody)>;

// The transport over the one HTTP client: one connection to the address, every request within
// the bound's one deadline, every answer capped at 64 KiB. It holds the client, so it lives as
// long as the exchange.
XPlaneTransport xplaneOverHttp(const XPlaneAddress& address, std::chrono::milliseconds bound,
                               LinkControl& control);

// Loads fuelKg by the 747-400's loading order and payloadKg into the aircraft; the words of a
// refusal name weights in unit, and a time-out the bound. A refusal tells which writes X-Plane
// accepted; none, when it came before the first write.
XPlaneOutcome loadXPlane(const XPlaneAddress& address, std::chrono::milliseconds bound,
                         engine::Unit unit, double fuelKg, double payloadKg,
                         const XPlaneTransport& transport);

// One reading of the flight for its watch; with checkAircraft, an aircraft whose tank layout is
// not the 747-400's is refused as such.
XPlaneFlightOutcome readXPlaneFlightNow(const XPlaneAddress& address,
                                        std::chrono::milliseconds bound, bool checkAircraft,
                                        const XPlaneTransport& transport);

}  // namespace brimwell::links
