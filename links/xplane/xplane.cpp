#include "links/xplane/xplane.h"

#include "links/test_setting.h"

#include "links/xplane/xplane_module.h"

namespace brimwell::links {

namespace {

constexpr const char* kModuleFile = "brimwell-xplane.so";

}  // namespace

std::chrono::milliseconds xplaneBound() {
    return testSetting("BRIMWELL_TEST_XPLANE_BOUND_MS", kXPlaneBound);
}

XPlaneOutcome loadIntoXPlane(const XPlaneRequest& request, LinkControl& control) {
    return callModule<XPlaneModule>(
        kModuleFile, [&](const XPlaneModule& module) { return module.load(request, control); });
}

XPlaneFlightOutcome readXPlaneFlight(const XPlaneAddress& address, std::chrono::milliseconds bound,
                                     bool checkAircraft, LinkControl& control) {
    return callModule<XPlaneModule>(kModuleFile, [&](const XPlaneModule& module) {
        return module.readFlight(address, bound, checkAircraft, control);
    });
}

}  // namespace brimwell::links
