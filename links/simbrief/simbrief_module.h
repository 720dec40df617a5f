#pragma once

// The interface of the SimBrief link's module, brimwell-simbrief.so (links/link_module.h): the
// fetch over the one HTTP client with TLS. Its face is links/simbrief/simbrief.h.

#include <chrono>
#include <string>

#include "links/link_call.h"

namespace brimwell::links {

// One fetch: the fetcher's whole address and how long the fetch may take, name lookup included.
struct SimbriefFetch {
    std::string url;
    std::chrono::milliseconds bound;
};

class SimbriefModule {
  public:
    virtual ~SimbriefModule() = default;
    // SimBrief's answer as it came (the body of a 2xx answer), or why there is none.
    virtual Outcome<std::string> fetch(const SimbriefFetch& fetch,
                                       LinkControl& control) const noexcept = 0;
};

}  // namespace brimwell::links
