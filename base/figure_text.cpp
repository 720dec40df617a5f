#include "base/figure_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace brimwell::base {

std::string figureText(double value, int significant) {
    // "-d.dddddddddddddddde-308": the longest that 17 significant digits write.
    std::array<char, 32> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value,
                                       std::chars_format::general, std::clamp(significant, 1, 17));
    return {text.data(), written.ptr};
}

std::string fixedText(double value, int decimals) {
    // A sign, the 309 digits of the largest double, the mark and six decimals.
    std::array<char, std::numeric_limits<double>::max_exponent10 + 10> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value,
                                       std::chars_format::fixed, std::clamp(decimals, 0, 6));
    return {text.data(), written.ptr};
}

}  // namespace brimwell::base
