#include "links/xplane/xplane.h"

#include <cstdlib>

#include "links/xplane/xplane_module.h"

namespace brimwell::links {

namespace {

constexpr const char* kModuleFile = "brimwell-xplane.so";

}  // namespace

std::chrono::milliseconds xplaneBound() {
    // Only the tests set it, to try the bound in less than five seconds.
    // NOLINTNEXTLINE(concurrency-mt-unsafe): nothing sets the environment while Brimwell runs
    if (const char* text = std::getenv("BRIMWELL_TEST_XPLANE_BOUND_MS"); text != nullptr) {
        const long milliseconds = std::strtol(text, nullptr, 10);
        if (milliseconds > 0 && milliseconds <= kXPlaneBound.count()) {
            return std::chrono::milliseconds(milliseconds);
        }
    }
    return kXPlaneBound;
}

XPlaneOutcome loadIntoXPlane(const XPlaneRequest& request, LinkControl& control) {
    return callModule<XPlaneModule>(
        kModuleFile, [&](const XPlaneModule& module) { return module.load(request, control); });
}

Outcome<engine::FuelReading> readXPlane(const XPlaneAddress& address,
                                        std::chrono::milliseconds bound, LinkControl& control) {
    return callModule<XPlaneModule>(kModuleFile, [&](const XPlaneModule& module) {
        return module.read(address, bound, control);
    });
}

}  // namespace brimwell::links
