#include "links/xplane/xplane_address.h"

#include "links/web_address.h"

namespace brimwell::links {

std::optional<XPlaneAddress> parseXPlaneUrl(std::string_view url) {
    const auto address = readWebAddress(url, {"http"});
    if (!address) {
        return std::nullopt;
    }
    return XPlaneAddress{address->host, address->port, std::string(url)};
}

}  // namespace brimwell::links
