#pragma once

// What every call of a link comes to: done, with the link's value, or refused, with the reason
// in words for the pilot. One type for every link (SimBrief, X-Plane, the print spooler, the PDF
// writer), on both sides of a module.

#include <concepts>
#include <string>
#include <utility>
#include <variant>

namespace brimwell::links {

// Nothing came of the call: why, and what to do, in words for the pilot.
struct Refused {
    std::string reason;
};

// The value of a call that is done and has nothing to give but that.
struct Done {};

// The value, or the refusal. A link whose refusal says more than its reason (X-Plane's, which
// tells the writes it accepted) names its own refusal, a Refused with fields of its own; a plain
// Refused becomes one with those fields at their defaults.
template <typename Value, std::derived_from<Refused> Refusal = Refused>
class Outcome final {
  public:
    // Both convert implicitly, so that a call returns its value or its refusal as it is.
    // NOLINTBEGIN(google-explicit-constructor, hicpp-explicit-conversions)
    Outcome(Value value) : m_outcome(std::in_place_index<0>, std::move(value)) {}
    Outcome(Refusal refusal) : m_outcome(std::in_place_index<1>, std::move(refusal)) {}
    Outcome(Refused refusal) requires(!std::same_as<Refusal, Refused>)
        : m_outcome(std::in_place_index<1>) {
        static_cast<Refused&>(std::get<1>(m_outcome)) = std::move(refusal);
    }
    // NOLINTEND(google-explicit-constructor, hicpp-explicit-conversions)

    bool done() const { return m_outcome.index() == 0; }
    // The value of an outcome that is done; the refusal of one that is not.
    const Value& value() const { return std::get<0>(m_outcome); }
    Value& value() { return std::get<0>(m_outcome); }
    const Refusal& refused() const { return std::get<1>(m_outcome); }
    // The value, or null when the call was refused.
    const Value* valueIf() const { return std::get_if<0>(&m_outcome); }
    // The refusal, or null when the call is done.
    const Refusal* refusedIf() const { return std::get_if<1>(&m_outcome); }

  private:
    std::variant<Value, Refusal> m_outcome;
};

}  // namespace brimwell::links
