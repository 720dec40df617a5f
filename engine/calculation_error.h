#pragma once

#include <stdexcept>

namespace brimwell::engine {

// Raised wherever a plan cannot go on: a text that is not a number, a number outside the
// range of its conversion, a table read outside its bounds, an infinite or undefined result.
// The engine functions never catch it; it travels up to the one trap of the Calculate command.
class CalculationError final : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace brimwell::engine
