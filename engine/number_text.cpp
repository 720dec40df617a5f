#include "engine/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "engine/calculation_error.h"

namespace brimwell::engine {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

[[noreturn]] void notANumber(std::string_view text) {
    throw CalculationError("not a number: \"" + std::string(text) + "\"");
}

// The 15 significant digits of a non-zero finite value, and the decimal exponent of the first:
// value = 0.d1d2...d15 * 10^(exponent + 1).
struct Digits15 {
    std::array<char, 15> digits{};
    int exponent = 0;
    bool negative = false;
};

Digits15 digits15(double value) {
    // "d.dddddddddddddde+XXX": 14 digits after the point make 15 significant digits.
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                      std::fabs(value), std::chars_format::scientific, 14);
    Digits15 out;
    out.negative = std::signbit(value);
    const char* p = buffer.data();
    out.digits[0] = *p++;
    ++p;  // the point
    for (std::size_t i = 1; i < out.digits.size(); ++i) {
        out.digits[i] = *p++;
    }
    ++p;  // the 'e'
    int exponent = 0;
    std::from_chars(*p == '+' ? p + 1 : p, result.ptr, exponent);
    out.exponent = exponent;
    return out;
}

}  // namespace

double toNumber(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    bool negative = false;
    if (begin < end && (text[begin] == '+' || text[begin] == '-')) {
        negative = text[begin] == '-';
        ++begin;
    }
    std::string plain;  // the number with a dot, as the C conversion reads it
    plain.reserve(end - begin + 1);
    std::size_t digitCount = 0;
    std::size_t integerSignificant = 0;  // integer digits from the first non-zero one on
    bool inFraction = false;
    for (std::size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            ++digitCount;
            if (!inFraction && (integerSignificant > 0 || c != '0')) {
                ++integerSignificant;
            }
            plain.push_back(c);
        } else if (c == ',' && !inFraction) {
            inFraction = true;
            plain.push_back('.');
        } else {
            notANumber(text);
        }
    }
    if (digitCount == 0) {
        notANumber(text);
    }
    double value = 0.0;
    const auto result =
        std::from_chars(plain.data(), plain.data() + plain.size(), value, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        if (integerSignificant > 0) {
            throw CalculationError("number too large: \"" + std::string(text) + "\"");
        }
        value = 0.0;  // too small to tell from zero
    } else if (result.ec != std::errc{} || result.ptr != plain.data() + plain.size()) {
        notANumber(text);
    }
    return negative ? -value : value;
}

std::string toText(double value) {
    if (!std::isfinite(value)) {
        throw CalculationError("the result is not a finite number");
    }
    if (value == 0.0) {
        return "0";  // also for -0
    }
    const Digits15 d = digits15(value);
    std::size_t count = d.digits.size();
    while (count > 1 && d.digits[count - 1] == '0') {
        --count;
    }
    const std::string_view digits(d.digits.data(), count);
    std::string out;
    if (d.negative) {
        out.push_back('-');
    }
    if (d.exponent >= 0) {
        const auto integerDigits = static_cast<std::size_t>(d.exponent) + 1;
        if (digits.size() <= integerDigits) {
            out.append(digits);
            out.append(integerDigits - digits.size(), '0');
        } else {
            out.append(digits.substr(0, integerDigits));
            out.push_back(',');
            out.append(digits.substr(integerDigits));
        }
    } else {
        out.append("0,");
        out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        out.append(digits);
    }
    return out;
}

double roundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    const double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5) {
        return whole + 1.0;
    }
    if (fraction < 0.5) {
        return whole;
    }
    return std::fmod(whole, 2.0) == 0.0 ? whole : whole + 1.0;
}

double roundHalfEven(double value, int decimals) {
    if (decimals < 0 || decimals > 15) {
        throw CalculationError("unsupported number of decimals");
    }
    // The double itself is scaled and rounded, as the rest of the arithmetic works on doubles:
    // a value that only reads as a half at 15 digits (77.949999999999989) is no tie.
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    if (!std::isfinite(scaled)) {
        return value;
    }
    return roundHalfEven(scaled) / scale;
}

std::int16_t toInt16(double value) {
    const double rounded = roundHalfEven(value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) {
        throw CalculationError("overflow: the value does not fit a 16-bit integer");
    }
    return static_cast<std::int16_t>(rounded);
}

double finite(double value) {
    if (!std::isfinite(value)) {
        throw CalculationError("overflow: the result is not a finite number");
    }
    return value;
}

bool textLessOrEqual(std::string_view left, std::string_view right) {
    return left.compare(right) <= 0;
}

bool textGreater(std::string_view left, std::string_view right) {
    return left.compare(right) > 0;
}

double timeOfDayMinutes(std::string_view text) {
    const auto colon = text.find(':');
    const auto isDigits = [](std::string_view part) {
        return !part.empty() && std::ranges::all_of(part, isDigit);
    };
    if (colon == std::string_view::npos) {
        throw CalculationError("not a time: \"" + std::string(text) + "\"");
    }
    const auto hoursText = text.substr(0, colon);
    const auto minutesText = text.substr(colon + 1);
    if (!isDigits(hoursText) || hoursText.size() > 2 || !isDigits(minutesText) ||
        minutesText.size() != 2) {
        throw CalculationError("not a time: \"" + std::string(text) + "\"");
    }
    int hours = 0;
    int minutes = 0;
    std::from_chars(hoursText.data(), hoursText.data() + hoursText.size(), hours);
    std::from_chars(minutesText.data(), minutesText.data() + minutesText.size(), minutes);
    if (hours > 23 || minutes > 59) {
        throw CalculationError("not a time of day: \"" + std::string(text) + "\"");
    }
    return hours * 60.0 + minutes;
}

}  // namespace brimwell::engine
