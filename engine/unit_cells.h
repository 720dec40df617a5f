#pragma once

#include <map>
#include <string>
#include <string_view>

#include "engine/cells.h"
#include "engine/units.h"

namespace brimwell::engine {

// The cells as the engine sees them, over the cells as the pilot sees them (`shown`). In pounds
// it passes everything through. In kilograms the weight cells (engine/units.h) show kilograms
// and the engine reads and writes pounds: a kilogram text reads as its pounds, a pound text
// written shows as its kilograms.
//
// Nothing drifts: for each weight text box it keeps the pair of texts, pounds and kilograms, that
// it last converted, and a cell still showing a pair's text reads as the pair's other text. So
// the engine reading back a result it wrote gets its own pound text, and a unit switched back and
// forth shows again the text it was switched from. The list cmbMLF converts by its items.
class UnitCells final : public Cells {
  public:
    // `shown` must outlive the cells. They start in pounds.
    explicit UnitCells(Cells& shown);

    Unit unit() const { return m_unit; }
    // Shows every weight text box in the unit. The items of cmbMLF are its owner's to relabel
    // (minimumLandingFuels).
    void setUnit(Unit unit);

    // Shows a weight text box's figure given in both units, as a flight plan in kilograms gives
    // it: the text of the unit shown, and the pair remembered, so that the other unit shows the
    // other text and the engine reads `pounds`.
    void setWeight(std::string_view name, std::string_view pounds, std::string_view kilograms);

    std::string text(std::string_view name) const override;
    bool isTicked(std::string_view name) const override;
    void setText(std::string_view name, std::string_view text) override;
    void setBackground(std::string_view name, Background background) override;

  private:
    struct Pair {
        std::string pounds;
        std::string kilograms;
    };
    // The weight in the other unit than `from`'s, through the cell's pair; a text converted anew
    // becomes the cell's pair.
    std::string other(std::string_view name, const std::string& text, Unit from);

    Cells& m_shown;
    Unit m_unit = Unit::Pounds;
    std::map<std::string, Pair, std::less<>> m_pairs;
};

}  // namespace brimwell::engine
