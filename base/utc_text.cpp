#include "base/utc_text.h"

#include <array>
#include <cmath>
#include <ctime>

namespace brimwell::base {

std::string utcText(double time, const char* format, std::string_view otherwise) {
    // Far beyond any year the calendar functions take, and within the range of time_t.
    constexpr double kFurthest = 1e15;
    if (!std::isfinite(time) || std::abs(time) > kFurthest) {
        return std::string(otherwise);
    }
    const auto seconds = static_cast<std::time_t>(std::floor(time));
    std::tm utc{};
    std::array<char, 32> text{};
    if (gmtime_r(&seconds, &utc) == nullptr ||
        std::strftime(text.data(), text.size(), format, &utc) == 0) {
        return std::string(otherwise);
    }
    return text.data();
}

}  // namespace brimwell::base
