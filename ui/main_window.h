#pragma once

// The one window of the program. It is built from the control catalogue
// (ui/window_controls.h); WindowCells lets the fuel planning engine read and write its cells,
// so the Calculate command runs unchanged against the real widgets. The window adds what the
// engine does not know about: the key filters and the limit checks of the numeric cells, the
// Clear and Exit buttons, and the Print button, which hands the cells to the printed report on
// the system's printer (ui/system_printer.h) without waiting for it.
//
// Leaving a validated cell for another control (Tab, a click, an access key) first runs the
// cell's check; a refused value shows its warning, keeps the focus in the cell and leaves the
// button that was clicked unpressed.

#include <QPointer>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "engine/fuel_planner.h"
#include "engine/unit_cells.h"
#include "report/printer.h"
#include "ui/window_cells.h"
#include "ui/window_controls.h"

namespace brimwell {

class MainWindow final : public QWidget {
    Q_OBJECT

  public:
    using PrinterFactory = std::function<std::unique_ptr<brimwell::Printer>()>;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

    // Shows every weight in the unit: the cells, inputs and results, each through the pair of
    // texts it was last converted by (engine/unit_cells.h), so that switching back and forth shows
    // again what was typed; the minimum landing fuel's items, the captions, the note and the
    // tooltips that name the unit. A new window shows pounds. The engine plans in pounds either
    // way, and Print names the unit shown.
    void setUnit(Unit unit);
    Unit unit() const;

    // Where the Print button prints; the system's default printer unless a test says else.
    void setPrinterFactory(PrinterFactory factory);
    // How long the system's printer may take to answer before the pilot is told that it did
    // not; ten seconds unless a test says else.
    void setPrinterAnswerBound(std::chrono::milliseconds bound);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // Button handlers.
    void cmdCalculate_Click();
    void Command1_Click();
    void Uscita_Click();
    void cmbPrint_Click();

    // Key filters of the five numeric cells: KeyAscii is the character code, 0 drops it.
    void txtDestinationDistance_KeyPress(std::int16_t& KeyAscii);
    void txtWindIntensity_KeyPress(std::int16_t& KeyAscii);
    void txtPayLoad_KeyPress(std::int16_t& KeyAscii);
    void txtContingencyTime_KeyPress(std::int16_t& KeyAscii);
    void txtTFB_KeyPress(std::int16_t& KeyAscii);

    // Limit checks of three of them; Cancel set keeps the focus in the cell.
    void txtDestinationDistance_Validate(bool& Cancel);
    void txtWindIntensity_Validate(bool& Cancel);
    void txtPayLoad_Validate(bool& Cancel);

    // The key filter and the validate handler of a cell, where it has them.
    struct CellHandlers {
        std::string_view cell;
        void (MainWindow::*keyPress)(std::int16_t& KeyAscii);
        void (MainWindow::*validate)(bool& Cancel);
    };
    static const CellHandlers* handlersOf(std::string_view cellName);

    void connectHandlers();
    void orderFocusChain();
    void showPrintFailure(const PrintError& error);
    void checkLimit(std::string_view cellName, bool& Cancel);
    void validate(std::string_view cellName, bool& Cancel);
    // Runs the check of the cell that holds the focus, if it has one, before the focus moves
    // to target. Returns false when the move is refused.
    bool mayLeaveFocusFor(const QWidget* target);
    // Applies the key filter of a numeric cell to a typed key; returns true when the event was
    // taken care of here and must not reach the cell.
    bool filterTypedKey(QWidget& cell, QKeyEvent& event);
    // Whether a click may reach the control it gave the focus to: not when the cell it took
    // the focus from refuses its value.
    bool mayTakeClick(QWidget& clicked);
    bool pressButtonByAccessKey(QWidget& button);

    ui::Controls m_controls;
    std::unique_ptr<ui::WindowCells> m_cells;
    std::unique_ptr<UnitCells> m_units;  // the cells as the engine sees them, in pounds
    std::unique_ptr<FuelPlanner> m_planner;
    PrinterFactory m_printerFactory;
    std::chrono::milliseconds m_printerAnswerBound;
    QPointer<QWidget> m_cellLeftByClick;
};

}  // namespace brimwell
