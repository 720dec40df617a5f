#include "xplane/xplane_module.h"

#include <exception>

#include "xplane/xplane_link.h"

extern "C" __attribute__((visibility("default"))) void brimwell_xplane_load(
    const brimwell::XPlaneRequest& request, brimwell::XPlaneOutcome& outcome) {
    try {
        const brimwell::XPlaneLink link(request.address, request.bound, request.unit);
        outcome = link.load(request.fuelLbs * brimwell::kKilogramsPerPound,
                            request.payloadLbs * brimwell::kKilogramsPerPound);
    } catch (const std::exception& failure) {
        outcome = brimwell::XPlaneRefused{std::string("The X-Plane link failed: ") +
                                          failure.what() + ". Nothing was written."};
    }
}
