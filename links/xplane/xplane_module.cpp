// The X-Plane link's module, brimwell-xplane.so: the exchange over libcurl, loaded at the first
// load or reading (links/xplane/xplane_module.h is its interface, xplane.h its face).

#include "links/xplane/xplane_module.h"

#include "engine/units.h"
#include "links/xplane/xplane_link.h"

namespace {

using namespace brimwell::links;
using brimwell::engine::kKilogramsPerPound;

class XPlaneOverHttp final : public XPlaneModule {
  public:
    XPlaneOutcome load(const XPlaneRequest& request, LinkControl& control) const noexcept override {
        return refusedOnThrow("X-Plane", [&] {
            const auto transport = xplaneOverHttp(request.address, request.bound, control);
            return loadXPlane(request.address, request.bound, request.unit,
                              request.fuelLbs * kKilogramsPerPound,
                              request.payloadLbs * kKilogramsPerPound, transport);
        });
    }

    XPlaneFlightOutcome readFlight(const XPlaneAddress& address, std::chrono::milliseconds bound,
                                   bool checkAircraft,
                                   LinkControl& control) const noexcept override {
        return refusedOnThrow("X-Plane", [&] {
            return readXPlaneFlightNow(address, bound, checkAircraft,
                                       xplaneOverHttp(address, bound, control));
        });
    }
};

}  // namespace

BRIMWELL_LINK_MODULE(int* version) {
    static const XPlaneOverHttp module;
    return offeredModule<XPlaneModule>(module, version);
}
