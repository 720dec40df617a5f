#include "links/web_address.h"

#include <algorithm>

namespace brimwell::links {

namespace {

bool isHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.';
}

std::optional<int> portNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 5 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int port = 0;
    for (const char digit : digits) {
        port = port * 10 + (digit - '0');
    }
    return port >= 1 && port <= 65535 ? std::optional<int>(port) : std::nullopt;
}

}  // namespace

std::optional<WebAddress> readWebAddress(std::string_view text,
                                         std::initializer_list<std::string_view> schemes) {
    const auto separator = text.find("://");
    if (separator == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view scheme = text.substr(0, separator);
    if (std::find(schemes.begin(), schemes.end(), scheme) == schemes.end()) {
        return std::nullopt;
    }
    std::string_view rest = text.substr(separator + 3);
    if (rest.ends_with('/')) {
        rest.remove_suffix(1);
    }
    const auto colon = rest.find(':');
    const std::string_view host = rest.substr(0, colon);
    if (host.empty() || host.front() == '-' || host.front() == '.' ||
        !std::all_of(host.begin(), host.end(), isHostCharacter)) {
        return std::nullopt;
    }
    WebAddress address{std::string(scheme), std::string(host), scheme == "https" ? 443 : 80};
    if (colon != std::string_view::npos) {
        const auto port = portNumber(rest.substr(colon + 1));
        if (!port) {
            return std::nullopt;
        }
        address.port = *port;
    }
    return address;
}

}  // namespace brimwell::links
