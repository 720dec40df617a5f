// The X-Plane link's module, brimwell-xplane.so: the exchange over libcurl, loaded at the first
// load or reading (links/xplane/xplane.h is its face).

#include <nlohmann/json.hpp>
#include <string>

#include "links/link_call.h"
#include "links/xplane/xplane_link.h"

namespace {

using brimwell::links::LinkAnswer;
using brimwell::links::LinkControl;
using nlohmann::json;

LinkAnswer work(std::string_view request, std::string_view /*payload*/, LinkControl& control) {
    const json asked = json::parse(request);
    const auto address = brimwell::links::parseXPlaneUrl(asked.at("url").get<std::string>());
    if (!address) {
        return {false, "The X-Plane address is not one Brimwell can use."};
    }
    const std::chrono::milliseconds bound(asked.at("bound_ms").get<long>());
    const auto transport = brimwell::links::xplaneOverHttp(*address, bound, control);
    if (asked.at("operation") == "read") {
        return brimwell::links::readXPlaneInFlight(*address, bound, transport);
    }
    const auto unit = brimwell::engine::unitNamed(asked.at("unit").get<std::string>());
    return brimwell::links::loadXPlane(
        *address, bound, unit.value_or(brimwell::engine::Unit::Pounds),
        asked.at("fuel_kg").get<double>(), asked.at("payload_kg").get<double>(), transport);
}

}  // namespace

BRIMWELL_LINK_ENTRY(const brimwell_link_call* call) {
    return brimwell::links::answerCall(call, "X-Plane", work);
}
