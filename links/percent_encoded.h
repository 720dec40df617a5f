#pragma once

// Text put into an address: every byte but the unreserved ones (letters, digits, "-._~")
// percent-encoded, "%2F", whatever the locale.

#include <string>
#include <string_view>

namespace brimwell::links {

std::string percentEncoded(std::string_view text);

}  // namespace brimwell::links
