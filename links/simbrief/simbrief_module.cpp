// The SimBrief link's module, brimwell-simbrief.so: the fetch over libcurl (with TLS), loaded at
// the first fetch (links/simbrief/simbrief_module.h is its interface, simbrief.h its face).

#include "links/simbrief/simbrief_module.h"

#include "links/simbrief/simbrief_fetch.h"

namespace {

using namespace brimwell::links;

class SimbriefOverHttp final : public SimbriefModule {
  public:
    Outcome<std::string> fetch(const SimbriefFetch& fetch,
                               LinkControl& control) const noexcept override {
        return refusedOnThrow("SimBrief", [&] { return fetchFromSimbrief(fetch, control); });
    }
};

}  // namespace

BRIMWELL_LINK_MODULE(int* version) {
    static const SimbriefOverHttp module;
    return offeredModule<SimbriefModule>(module, version);
}
