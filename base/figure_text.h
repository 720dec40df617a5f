#pragma once

// Figures written as the pilot is told them in messages: a figure that came from outside (an
// X-Plane dataref, a tank's capacity) as it came, whatever it is. The decimal mark is the dot,
// whatever the locale; the cells' own numbers follow engine/number_text.h instead.

#include <string>

namespace brimwell::base {

// As C's "%.*g" writes it in the C locale: `significant` significant digits (1 to 17), trailing
// zeros dropped, an exponent where it is shorter ("60000", "0.5", "1e+300", "nan", "-inf").
std::string figureText(double value, int significant = 6);

// As C's "%.*f" writes it in the C locale: rounded to `decimals` decimals (0 to 6), never an
// exponent ("1000000", "0.250").
std::string fixedText(double value, int decimals);

}  // namespace brimwell::base
