#include "ui/unit_choice.h"

#include <QAction>
#include <QMenuBar>
#include <utility>

#include "ui/control_names.h"
#include "ui/qt_text.h"
#include "ui/settings.h"

using namespace Qt::StringLiterals;

namespace brimwell::ui {

using engine::Unit;
using engine::UnitCells;
using engine::unitName;
using engine::unitNamed;

UnitChoice::UnitChoice(const Controls& controls, UnitCells& cells, const QMenuBar& menuBar,
                       std::function<bool()> mayChange, std::function<void(Unit)> shown)
    : m_controls(controls),
      m_cells(cells),
      m_pounds(*menuBar.findChild<QAction*>(toQString(control::mnuPounds))),
      m_kilograms(*menuBar.findChild<QAction*>(toQString(control::mnuKilograms))),
      m_mayChange(std::move(mayChange)),
      m_shown(std::move(shown)) {}

void UnitChoice::show(Unit unit) {
    m_cells.setUnit(unit);
    showUnitTexts(m_controls, unit);
    (unit == Unit::Kilograms ? m_kilograms : m_pounds).setChecked(true);
    m_shown(unit);
}

Unit UnitChoice::unit() const {
    return m_cells.unit();
}

void UnitChoice::choose(Unit unit) {
    if (!m_mayChange()) {
        show(m_cells.unit());  // the item chosen is ticked; the unit kept ticks its own again
        return;
    }
    show(unit);
    writeSetting(kWeightUnit, toQString(unitName(unit)));
}

Unit UnitChoice::remembered() {
    return unitNamed(readSetting(kWeightUnit).toStdString()).value_or(Unit::Pounds);
}

}  // namespace brimwell::ui
