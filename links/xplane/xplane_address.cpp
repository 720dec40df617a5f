#include "links/xplane/xplane_address.h"

#include <algorithm>

#include "engine/flight_data.h"

namespace brimwell::links {

namespace {

bool isHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.';
}

}  // namespace

std::optional<XPlaneAddress> parseXPlaneUrl(std::string_view url) {
    constexpr std::string_view kScheme = "http://";
    if (!url.starts_with(kScheme)) {
        return std::nullopt;
    }
    std::string_view rest = url.substr(kScheme.size());
    if (rest.ends_with('/')) {
        rest.remove_suffix(1);
    }
    const auto colon = rest.find(':');
    const std::string_view host = rest.substr(0, colon);
    if (host.empty() || !std::all_of(host.begin(), host.end(), isHostCharacter) ||
        host.front() == '-' || host.front() == '.') {
        return std::nullopt;
    }
    int port = 80;
    if (colon != std::string_view::npos) {
        const std::string_view digits = rest.substr(colon + 1);
        if (digits.empty() || digits.size() > 5 || !engine::isDigitsOnly(digits)) {
            return std::nullopt;
        }
        port = std::stoi(std::string(digits));
        if (port < 1 || port > 65535) {
            return std::nullopt;
        }
    }
    return XPlaneAddress{std::string(host), port, std::string(url)};
}

}  // namespace brimwell::links
