#pragma once

// Where X-Plane's web server answers, as the pilot writes it under Aircraft, X-Plane Address…
// and brimwell-plan --xplane-url: read once, where it is written, and passed on as read.

#include <optional>
#include <string>
#include <string_view>

namespace brimwell::links {

inline constexpr std::string_view kDefaultXPlaneUrl = "http://localhost:8086";

// Plain HTTP, a host name or IPv4 address and a port.
struct XPlaneAddress {
    std::string host;
    int port = 8086;
    std::string url;  // as the pilot wrote it, for messages
};

// Reads "http://host[:port]" (a trailing "/" allowed); nullopt for anything else.
std::optional<XPlaneAddress> parseXPlaneUrl(std::string_view url);

}  // namespace brimwell::links
