#pragma once

// The unit of weight that the main window shows, and the Units menu that chooses it. Every weight
// is shown in the unit: the cells, inputs and results, each through the pair of texts it was last
// converted by (engine/unit_cells.h), so that switching back and forth shows again what was
// typed; the minimum landing fuel's items, the captions, the note and the tooltips that name the
// unit. The unit chosen from the menu is remembered for the next window. The engine plans in
// pounds either way.

#include <functional>

#include "engine/unit_cells.h"
#include "engine/units.h"
#include "ui/window_controls.h"

class QAction;
class QMenuBar;

namespace brimwell::ui {

class UnitChoice final {
  public:
    // controls: the window's, whose texts name the unit; cells: the cells as the engine reads
    // them, which show their weights in the unit; menuBar: holds the items mnuPounds and
    // mnuKilograms; mayChange: whether the cell holding the focus takes leave; shown: told of
    // every unit shown. The choice must not outlive any of them.
    UnitChoice(const Controls& controls, engine::UnitCells& cells, const QMenuBar& menuBar,
               std::function<bool()> mayChange, std::function<void(engine::Unit)> shown);

    // Shows every weight in the unit and ticks its item.
    void show(engine::Unit unit);
    engine::Unit unit() const;
    // The unit chosen from the menu, shown and remembered once the cell holding the focus takes
    // leave. A cell that refuses its value keeps the focus and the unit it was typed in.
    void choose(engine::Unit unit);
    // The unit last chosen from the menu; pounds on a first run.
    static engine::Unit remembered();

  private:
    const Controls& m_controls;
    engine::UnitCells& m_cells;
    QAction& m_pounds;
    QAction& m_kilograms;
    std::function<bool()> m_mayChange;
    std::function<void(engine::Unit)> m_shown;
};

}  // namespace brimwell::ui
