#pragma once

// The one window of the program, built from the control catalogue (ui/window_controls.h).
// WindowCells lets the engine's Calculate run unchanged on its widgets; the window adds Clear,
// Exit and Print, which hands the cells to the system's printer (ui/system_printer.h) without
// waiting for it. It is composed of one part per job, each given the cells, the controls or the
// callbacks it needs: CellEntryChecks (ui/cell_entry_checks.h), the menu bar (ui/menu_bar.h),
// FlightPlanOpener (ui/flight_plan_opener.h), XPlaneLoader (ui/xplane_loader.h), UnitChoice
// (ui/unit_choice.h), the fuel check's window (ui/fuel_check_window.h) and the tablet's dialog
// (ui/tablet_dialog.h), made when chosen.
// Load into X-Plane and Fuel Check are on while the cells hold the plan of a Calculate that
// completed and the inputs are those it was calculated from. A load or fetch still under way
// when the window goes is stopped, and its outcome dropped. docs/architecture.md tells how the
// parts fit together.

#include <QPointer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/fuel_planner.h"
#include "engine/unit_cells.h"
#include "engine/units.h"
#include "report/printer.h"
#include "ui/menu_bar.h"
#include "ui/window_controls.h"

class QMenuBar;

namespace brimwell::ui {

class CellEntryChecks;
class FlightPlanOpener;
class FlightsWindow;
class FuelCheckWindow;
class SystemPrinter;
class TabletDialog;
class UnitChoice;
class WindowCells;
class XPlaneLoader;

class MainWindow final : public QWidget {
    Q_OBJECT

  public:
    using PrinterFactory = std::function<std::unique_ptr<report::Printer>()>;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

    // Shows every weight in the unit (ui/unit_choice.h). A window opens in the unit last chosen
    // from the Units menu, in pounds on a first run. Print names the unit shown.
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
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // The buttons: Calculate, Clear, Exit and Print.
    void calculate();
    void clear();
    void exit();
    void print();
    // Aircraft > Fuel Check.
    void checkFuel();
    // Aircraft > Show on a Tablet…
    void showOnTablet();
    // File > Flights….
    void showFlights();
    // The pilot's fuel factor when Aircraft > Use My Fuel Factor is ticked and the flight log
    // has one; the flight plan fuel cell's note says which.
    std::optional<double> fuelFactorToUse();

    MenuCommands menuCommands();
    void connectButtons();
    // The texts of the inputs and the tick of the correction, as Calculate reads them.
    std::vector<std::string> inputTexts() const;
    // Enables Load into X-Plane while the results are those of the inputs and no load is under
    // way, and Fuel Check while the results are those of the inputs.
    void updateAircraftActions();
    void showWhetherBusy();
    // Whether the data dragged or dropped is one file; takes it for the window if so.
    bool takeDrop(QEvent& event);

    QMenuBar* m_menuBar;
    Controls m_controls;
    std::unique_ptr<WindowCells> m_cells;
    std::unique_ptr<engine::UnitCells> m_units;  // the cells as the engine sees them, in pounds
    std::unique_ptr<engine::FuelPlanner> m_planner;
    // Ends the work of a page still on its way when the window goes.
    std::unique_ptr<SystemPrinter> m_systemPrinter;
    PrinterFactory m_printerFactory;
    std::unique_ptr<CellEntryChecks> m_entryChecks;
    std::unique_ptr<FlightPlanOpener> m_flightPlans;
    std::unique_ptr<XPlaneLoader> m_xplane;
    std::unique_ptr<UnitChoice> m_unitChoice;
    // The inputs of the last Calculate while its results are in the cells.
    std::optional<std::vector<std::string>> m_calculatedInputs;
    QPointer<FuelCheckWindow> m_fuelCheck;  // the check window while it is open
    TabletDialog* m_tablet = nullptr;       // made when first chosen, a child of the window
    QPointer<FlightsWindow> m_flightList;   // the flights window while it is open
    std::optional<double> m_fuelFactor;     // the one the results in the cells were planned with
};

}  // namespace brimwell::ui
