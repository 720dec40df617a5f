#include "links/test_setting.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace brimwell::links {

std::chrono::milliseconds testSetting(const char* name, std::chrono::milliseconds longest) {
    // NOLINTNEXTLINE(concurrency-mt-unsafe): nothing sets the environment while Brimwell runs
    const char* text = std::getenv(name);
    if (text == nullptr) {
        return longest;
    }
    const char* end = text + std::strlen(text);
    long long milliseconds = 0;
    const auto [stop, failed] = std::from_chars(text, end, milliseconds);
    const bool whole = failed == std::errc() && stop == end;
    return whole && milliseconds > 0 && milliseconds <= longest.count()
               ? std::chrono::milliseconds(milliseconds)
               : longest;
}

}  // namespace brimwell::links
