#include "engine/unit_cells.h"

namespace brimwell::engine {

UnitCells::UnitCells(Cells& shown) : m_shown(shown) {}

std::string UnitCells::other(std::string_view name, const std::string& text, Unit from) {
    const bool inPounds = from == Unit::Pounds;
    auto pair = m_pairs.find(name);
    if (pair != m_pairs.end() &&
        (inPounds ? pair->second.pounds : pair->second.kilograms) == text) {
        return inPounds ? pair->second.kilograms : pair->second.pounds;
    }
    std::string converted = inPounds ? toKilograms(text) : toPounds(name, text);
    m_pairs.insert_or_assign(std::string(name),
                             inPounds ? Pair{text, converted} : Pair{converted, text});
    return converted;
}

void UnitCells::setUnit(Unit unit) {
    if (unit == m_unit) {
        return;
    }
    for (const auto name : kWeightTextBoxes) {
        m_shown.setText(name, other(name, m_shown.text(name), m_unit));
    }
    m_unit = unit;
}

void UnitCells::setWeight(std::string_view name, std::string_view pounds,
                          std::string_view kilograms) {
    m_pairs.insert_or_assign(std::string(name), Pair{std::string(pounds), std::string(kilograms)});
    m_shown.setText(name, m_unit == Unit::Pounds ? pounds : kilograms);
}

std::string UnitCells::text(std::string_view name) const {
    std::string shown = m_shown.text(name);
    if (m_unit == Unit::Pounds || !isWeight(name)) {
        return shown;
    }
    const auto pair = m_pairs.find(name);
    if (pair != m_pairs.end() && pair->second.kilograms == shown) {
        return pair->second.pounds;
    }
    return toPounds(name, shown);
}

bool UnitCells::isTicked(std::string_view name) const {
    return m_shown.isTicked(name);
}

void UnitCells::setText(std::string_view name, std::string_view text) {
    if (m_unit == Unit::Pounds || !isWeight(name)) {
        m_shown.setText(name, text);
        return;
    }
    m_shown.setText(name, other(name, std::string(text), Unit::Pounds));
}

void UnitCells::setBackground(std::string_view name, Background background) {
    m_shown.setBackground(name, background);
}

}  // namespace brimwell::engine
