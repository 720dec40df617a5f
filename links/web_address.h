#pragma once

// The one reader of the web addresses the pilot gives Brimwell (X-Plane's web server,
// BRIMWELL_SIMBRIEF_URL): a scheme, a host and a port, nothing else.

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace brimwell::links {

struct WebAddress {
    std::string scheme;  // "http" or "https"
    std::string host;
    int port = 80;  // the scheme's own where none is written
};

// Reads "scheme://host[:port]" with a final "/" allowed, for one of `schemes` ("http", "https"):
// a host name or IPv4 address of letters, digits, "-" and "." not starting with either sign, a
// port of 1 to 65535. nullopt for anything else: no user or password, no path or query, no byte
// outside ASCII (so an address read is valid UTF-8).
std::optional<WebAddress> readWebAddress(std::string_view text,
                                         std::initializer_list<std::string_view> schemes);

}  // namespace brimwell::links
