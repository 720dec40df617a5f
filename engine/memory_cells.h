#pragma once

#include <map>
#include <string>
#include <string_view>

#include "engine/cells.h"

namespace brimwell::engine {

// The cells of the window held in memory, at the window's start values: the input cells empty
// on blue (taxi fuel "2000"), txtBOW "394088" on yellow, the fifteen results empty on the window
// background, CheckCorrection not ticked. Naming any other cell is a programming error and
// throws std::invalid_argument.
class MemoryCells final : public Cells {
  public:
    MemoryCells();

    std::string text(std::string_view name) const override;
    bool isTicked(std::string_view name) const override;
    void setText(std::string_view name, std::string_view text) override;
    void setBackground(std::string_view name, Background background) override;

    Background background(std::string_view name) const;
    void setTicked(std::string_view name, bool ticked);

  private:
    struct TextCell {
        std::string text;
        Background background;
    };
    TextCell& find(std::string_view name);
    const TextCell& find(std::string_view name) const;

    std::map<std::string, TextCell, std::less<>> m_cells;
    bool m_checkCorrection = false;
};

}  // namespace brimwell::engine
