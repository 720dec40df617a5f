#pragma once

// What the main window's controls let through, as the engine rules it (engine/digit_keys.h): a cell
// that takes digits only drops any other character typed into it, and a cell with a limit
// (engine/cell_limits.h) is checked when it is left. Leaving a checked cell for another control
// (Tab, a click, an access key) first runs its check; a refused value shows its warning, keeps the
// focus in the cell and leaves the button that was clicked unpressed. The text stays as it is.
//
// The checks watch every control that takes the focus, and so see what is dropped on one and
// what turns a list: a file dropped on a cell goes to the window's drop, and the mouse wheel
// turns only the list that has the focus.

#include <QObject>
#include <QPointer>
#include <functional>

#include "engine/unit_cells.h"
#include "ui/window_controls.h"

class QEvent;
class QKeyEvent;
class QWidget;

namespace brimwell::ui {

class CellEntryChecks final : public QObject {
    Q_OBJECT

  public:
    // window: the controls' window, which the warnings are shown over; cells: the cells as the
    // engine reads them, in the unit shown; drop: takes a drag or drop over a control, and returns
    // whether it took it. The checks must not outlive the window and the cells.
    CellEntryChecks(QWidget& window, const Controls& controls, const engine::UnitCells& cells,
                    std::function<bool(QEvent&)> drop);

    // Runs the check of the cell that holds the focus, if it has one, before the focus moves to
    // target (none: an act of the window, such as a menu's). Returns false when the move is
    // refused.
    bool mayLeaveFocusFor(const QWidget* target);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Whether the value of the cell is refused; shows the warning if so.
    bool refuses(const QWidget& cell);
    // Applies the key filter of a cell that takes digits to a typed key; returns true when the
    // event was taken care of here and must not reach the cell.
    static bool filterTypedKey(QWidget& cell, QKeyEvent& event);
    // Whether a click may reach the control it gave the focus to: not when the cell it took the
    // focus from refuses its value.
    bool mayTakeClick(QWidget& clicked);
    bool pressButtonByAccessKey(QWidget& button);

    QWidget& m_window;
    const engine::UnitCells& m_cells;
    std::function<bool(QEvent&)> m_drop;
    QPointer<QWidget> m_cellLeftByClick;
};

}  // namespace brimwell::ui
