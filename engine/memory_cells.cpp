#include "engine/memory_cells.h"

#include <stdexcept>

#include "engine/cell_names.h"
#include "engine/cell_values.h"

namespace brimwell::engine {

MemoryCells::MemoryCells() {
    for (const auto name : cell::kInputs) {
        m_cells.emplace(name, TextCell{"", kInputBlue});
    }
    m_cells.at(std::string(cell::txtTFB)).text = kDefaultTaxiFuel;
    m_cells.emplace(cell::txtBOW, TextCell{std::string(kBasicOperationEmptyWeight), kFixedYellow});
    for (const auto name : cell::kResults) {
        m_cells.emplace(name, TextCell{"", Background::windowBackground()});
    }
}

namespace {

template <typename Map>
auto& findCell(Map& cells, std::string_view name) {
    const auto found = cells.find(name);
    if (found == cells.end()) {
        throw std::invalid_argument("no text cell named " + std::string(name));
    }
    return found->second;
}

}  // namespace

MemoryCells::TextCell& MemoryCells::find(std::string_view name) {
    return findCell(m_cells, name);
}

const MemoryCells::TextCell& MemoryCells::find(std::string_view name) const {
    return findCell(m_cells, name);
}

std::string MemoryCells::text(std::string_view name) const {
    return find(name).text;
}

void MemoryCells::setText(std::string_view name, std::string_view text) {
    find(name).text = text;
}

void MemoryCells::setBackground(std::string_view name, Background background) {
    find(name).background = background;
}

Background MemoryCells::background(std::string_view name) const {
    return find(name).background;
}

bool MemoryCells::isTicked(std::string_view name) const {
    if (name != cell::CheckCorrection) {
        throw std::invalid_argument("no tick box named " + std::string(name));
    }
    return m_checkCorrection;
}

void MemoryCells::setTicked(std::string_view name, bool ticked) {
    if (name != cell::CheckCorrection) {
        throw std::invalid_argument("no tick box named " + std::string(name));
    }
    m_checkCorrection = ticked;
}

}  // namespace brimwell::engine
