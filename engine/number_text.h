#pragma once

// The number-text rule: how the system turns texts into numbers and numbers into texts.
//
// Every value of a plan travels between the stages as the text of a cell, so these few
// functions decide what a plan computes. The decimal mark is the comma, in both directions.

#include <cstdint>
#include <string>
#include <string_view>

namespace brimwell::engine {

// Reads a text as a double: optional blanks, an optional sign, digits with an optional
// fractional part after a comma, optional blanks. No thousands separators, no exponent, no dot.
// Empty text, anything else, or a magnitude beyond the double range throws CalculationError.
double toNumber(std::string_view text);

// Writes a number in plain decimal notation: at most 15 significant digits, comma as the
// decimal mark, no grouping, no trailing zeros, no decimal mark for whole values, "-" for
// negative values and never "-0". An infinite or not-a-number value throws CalculationError.
std::string toText(double value);

// Rounds to the nearest whole number, an exact half going to the even neighbour.
double roundHalfEven(double value);

// Rounds to the given number of decimals: the value times the power of ten is rounded to a whole
// number, an exact half of that double going to the even neighbour, and scaled back. So 0.25
// gives 0.2, and 77.949999999999989 (which reads "77,95" at 15 digits) gives 77.9.
double roundHalfEven(double value, int decimals);

// Rounds half to even and converts to a signed 16-bit integer; throws CalculationError
// outside -32768 to 32767.
std::int16_t toInt16(double value);

// Throws CalculationError unless the value is finite; returns it unchanged.
double finite(double value);

// Ordinal comparison of texts: character code by character code, a prefix being the smaller.
bool textLessOrEqual(std::string_view left, std::string_view right);
bool textGreater(std::string_view left, std::string_view right);

// Reads a time cell "h:mm" as a time of day and gives hours * 60 + minutes.
// Throws CalculationError for anything that is not a time from 0:00 to 23:59.
double timeOfDayMinutes(std::string_view text);

}  // namespace brimwell::engine
