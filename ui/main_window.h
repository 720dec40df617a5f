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
//
// Above the layout, which keeps its own coordinates in a client widget, a menu bar (a table of
// MenuItem rows in buildMenuBar: a menu more is rows more) opens a SimBrief flight plan from a
// file, or fetches the pilot's latest one from SimBrief (links/simbrief/simbrief.h) off the
// window's thread (ui/background_work.h) while the window goes on answering; a file dropped on the
// window opens as well. The plan's figures go into the cells, the results of an earlier Calculate
// are emptied as Clear empties them, and a summary says what was filled and what was not. Each of
// them is an act that leaves the cell holding the focus, so its check runs first.
//
// The Aircraft menu loads the plan into X-Plane (links/xplane/xplane.h) at the address that the
// settings keep, off the window's thread while the window goes on answering, and tells the outcome
// in a box. It is enabled while the cells hold the plan of a Calculate that completed and the
// inputs are still those it was calculated from; Clear, or a flight plan filled in, ends that. One
// load at a time; a load or fetch still under way when the window goes is stopped, and its outcome
// dropped.
//
// Aircraft > Fuel Check opens the check of the plan against X-Plane's fuel in flight in a window
// of its own (ui/fuel_check_window.h), made only when it is chosen, under the same rule as the
// load. The check takes the plan as it stands then; one check window at a time, which choosing
// the item again raises, which follows the unit chosen, and which closes with this window.

#include <QPointer>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/fuel_planner.h"
#include "engine/unit_cells.h"
#include "links/link_call.h"
#include "links/xplane/xplane.h"
#include "report/printer.h"
#include "ui/window_cells.h"
#include "ui/window_controls.h"

class QMenuBar;

namespace brimwell::flightplan {
struct FlightPlanReading;
}

namespace brimwell::ui {

class SystemPrinter;
class BackgroundWork;
class FuelCheckWindow;

class MainWindow final : public QWidget {
    Q_OBJECT

  public:
    using PrinterFactory = std::function<std::unique_ptr<report::Printer>()>;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

    // Shows every weight in the unit: the cells, inputs and results, each through the pair of
    // texts it was last converted by (engine/unit_cells.h), so that switching back and forth shows
    // again what was typed; the minimum landing fuel's items, the captions, the note and the
    // tooltips that name the unit. A window opens in the unit last chosen from the Units menu,
    // in pounds on a first run. The engine plans in pounds either way, and Print names the unit
    // shown.
    void setUnit(engine::Unit unit);
    engine::Unit unit() const;

    // Where the Print button prints; the system's default printer unless a test says else.
    void setPrinterFactory(PrinterFactory factory);
    // How long the system's printer may take to answer before the pilot is told that it did
    // not; ten seconds unless a test says else.
    void setPrinterAnswerBound(std::chrono::milliseconds bound);
    // How long a fetch from SimBrief may take in all; ten seconds unless a test says else.
    void setFetchBound(std::chrono::milliseconds bound);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // The handlers keep their event-style names (cmdCalculate_Click, txtTFB_KeyPress) until the
    // window is split by job; the name check passes over them until then.
    // NOLINTBEGIN(readability-identifier-naming)

    // Button handlers.
    void cmdCalculate_Click();
    void Command1_Click();
    void Uscita_Click();
    void cmbPrint_Click();

    // Menu handlers: File > Open Flight Plan…, Fetch Latest Flight Plan…, SimBrief User…;
    // Units > Pounds, Kilograms.
    void mnuOpenFlightPlan_Click();
    void mnuFetchFlightPlan_Click();
    void mnuSimbriefUser_Click();
    // Aircraft > Load into X-Plane, Fuel Check, X-Plane Address….
    void mnuLoadIntoXPlane_Click();
    void mnuFuelCheck_Click();
    void mnuXPlaneAddress_Click();
    void mnuPounds_Click();
    void mnuKilograms_Click();
    // NOLINTEND(readability-identifier-naming)

    // The unit chosen from the menu, once the cell holding the focus takes leave.
    void chooseUnit(engine::Unit unit);

    // A row of the menu bar: the menu, and one of its items with its handler. The items of a
    // named group are ticked, one of them at a time.
    struct MenuItem {
        std::string_view menu;
        std::string_view menuCaption;
        std::string_view name;
        std::string_view caption;
        std::string_view shortcut;
        void (MainWindow::*handler)();
        std::string_view group{};
    };
    void buildMenuBar();

    // Opens the flight plan in file; a file dropped on the window comes here too.
    void openFlightPlan(const QString& file);
    // Puts what the plan gave into the cells and says what it did; a refused plan changes nothing
    // and is told as failure, followed by its reason.
    // The plan is read here, where whatever it may throw is told as failure too.
    void fillFromFlightPlan(const std::function<flightplan::FlightPlanReading()>& read,
                            const QString& heading, const QString& failure);
    // Asks for the SimBrief user name or pilot ID and remembers it; empty when cancelled.
    QString askSimbriefUser();
    void fetchFinished(const QString& user, const links::LinkAnswer& outcome);
    void stopFetch();
    void loadFinished(const links::XPlaneOutcome& outcome);
    // The box that tells the pilot how a load into X-Plane ended.
    void showXPlaneOutcome(const links::XPlaneOutcome& outcome);
    // The texts of the inputs and the tick of the correction, as Calculate reads them.
    std::vector<std::string> inputTexts() const;
    // Enables Load into X-Plane while the results are those of the inputs and no load is under
    // way, and Fuel Check while the results are those of the inputs.
    void updateAircraftActions();
    void showWhetherBusy();
    // Whether the data dragged or dropped is one file; takes it for the window if so.
    bool takeDrop(QEvent& event);

    // NOLINTBEGIN(readability-identifier-naming): the handlers' event-style names, as above.

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
    void showPrintFailure(const report::PrintError& error);
    void checkLimit(std::string_view cellName, bool& Cancel);
    void validate(std::string_view cellName, bool& Cancel);
    // NOLINTEND(readability-identifier-naming)

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

    QMenuBar* m_menuBar;
    Controls m_controls;
    std::unique_ptr<WindowCells> m_cells;
    std::unique_ptr<engine::UnitCells> m_units;  // the cells as the engine sees them, in pounds
    std::unique_ptr<engine::FuelPlanner> m_planner;
    // Ends the work of a page still on its way when the window goes.
    std::unique_ptr<SystemPrinter> m_systemPrinter;
    PrinterFactory m_printerFactory;
    QPointer<QWidget> m_cellLeftByClick;
    std::chrono::milliseconds m_fetchBound;
    std::unique_ptr<BackgroundWork> m_fetch;
    // The inputs of the last Calculate while its results are in the cells.
    std::optional<std::vector<std::string>> m_calculatedInputs;
    std::unique_ptr<BackgroundWork> m_load;
    QPointer<FuelCheckWindow> m_fuelCheck;  // the check window while it is open
};

}  // namespace brimwell::ui
