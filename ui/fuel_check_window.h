#pragma once

// Aircraft > Fuel Check: the plan of the main window against X-Plane's fuel in flight, in a small
// window of its own, through one watch of the flight (flight/flight_watch.h).
//
// The plan is taken once, as the window opens: a FuelPlanLine read from the cells in pounds
// (engine/fuel_check.h), with the route of the flight plan that filled them where there is one, so
// a plan changed in the main window afterwards does not change the check; the window says so.
// X-Plane is read at once and then every 5 seconds through its link (links/xplane/xplane.h, at the
// address of the settings as it stands at each reading; the first good reading checks the
// aircraft), off the window's thread (ui/background_work.h), one reading at a time: when the next
// falls due while one is still under way, it starts as soon as that one ends. Each reading goes to
// the watch, and the window shows what the watch tells: the phase; distance flown and to go along
// the route; the fuel on board against the plan's figure for there; the landing fuel predicted by
// the plan and at the burn so far, with the burn factor; the reserves; the status in words and in
// a colour that reads on the window's background; the reading as a point on the plot
// (ui/fuel_plot.h), where the fixes passed are marked; and a row a fix passed in the table below.
// Paused and replayed readings are told by their phase alone. Weights are in the unit of the main
// window, which the window follows.
//
// A reading that fails, or that the watch refuses, keeps the figures and points of the last good
// one; a line says since when X-Plane has not answered and, below it, why, and reading goes on. A
// plan that the check refuses is told instead of the figures, and nothing is read. Closing the
// window stops a reading under way at once (its control stopped, the link gives up within 50 ms)
// and deletes the window.
//
// The flight is kept in the flight log (flightlog/flight_log.h) once keepIn() is given its plan;
// a log that cannot keep it is told once, in a line of the window, and the check goes on. A
// flight of the log opened again (File > Flights…) is shown by the same window, its readings and
// fixes told again in order, without reading X-Plane.

#include <QPointer>
#include <QTime>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "engine/fuel_check.h"
#include "engine/units.h"
#include "flight/flight_watch.h"
#include "flightplan/route.h"
#include "links/xplane/xplane.h"

class QLabel;
class QTableWidget;

namespace brimwell::flightlog {
class FlightKeeper;
class FlightLog;
struct KeptFlight;
struct PlannedFlight;
}  // namespace brimwell::flightlog

namespace brimwell::ui {

class BackgroundWork;
class FuelPlot;

class FuelCheckWindow final : public QWidget, private flight::FlightListener {
    Q_OBJECT

  public:
    // A window of its own over parent, which closes it and deletes it with itself. `route` is the
    // flight plan's, where there is one; `title` names the flight ("LIRF → KJFK"), and may be
    // empty. It starts reading at once.
    FuelCheckWindow(std::variant<engine::FuelPlanLine, engine::FuelCheckRefused> plan,
                    std::optional<flightplan::Route> route, engine::Unit unit, const QString& title,
                    QWidget* parent);
    // A flight of the log, as its window showed it, over parent; it reads nothing.
    FuelCheckWindow(const flightlog::KeptFlight& flight, engine::Unit unit, QWidget* parent);
    ~FuelCheckWindow() override;
    Q_DISABLE_COPY_MOVE(FuelCheckWindow)

    // Shows every weight, the plot's included, in the unit.
    void setUnit(engine::Unit unit);
    // Whoever else shows the flight (the tablet's server) is told from the next reading on, until
    // removed or the window goes; nothing for a plan the check refuses.
    void addFlightListener(flight::FlightListener& listener);
    void removeFlightListener(flight::FlightListener& listener);
    // Keeps the flight in the flight log from its first airborne reading on, as planned.
    void keepIn(const flightlog::PlannedFlight& plan);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    using ReadOutcome = links::XPlaneFlightOutcome;

    // The window's parts; the note under them, which says what the figures are checked against.
    QLabel& build(const QString& title);
    // A plan that cannot be checked: the note says why, and nothing else is shown.
    void showRefusal(QLabel& note, const QString& text);
    void buildFigures(QWidget& figures);
    void buildFixTable();
    void startReading();
    void readingDue();
    void readingFinished(const ReadOutcome& outcome);
    // What the watch tells.
    void reading(const flight::WatchedReading& reading) override;
    void fixPassed(const flight::PassedFix& fix) override;
    void landed(const flight::FlightSummary& summary) override;
    // The last good check's figures in the unit, and the status in its colour.
    void showCheck();
    void showFix(int row, const flight::PassedFix& fix);
    void showNoAnswer(const QString& reason);
    QLabel& figure(const char* name) const;

    std::optional<flight::FlightWatch> m_watch;  // none for a plan the check refuses
    engine::Unit m_unit;
    std::optional<flight::WatchedCheck> m_check;  // the last good reading's
    flight::Phase m_phase = flight::Phase::BeforeTakeoff;
    bool m_read = false;             // a reading was told; until then no phase is shown
    bool m_aircraftChecked = false;  // by a reading X-Plane answered
    QTime m_lastGood;                // when it was read; when the window opened, until then
    FuelPlot* m_plot = nullptr;
    QTableWidget* m_fixes = nullptr;
    QLabel* m_landing = nullptr;  // what the landing tells
    QLabel* m_answer = nullptr;
    QLabel* m_reason = nullptr;
    std::map<QString, QLabel*> m_figures;
    QTimer m_timer;  // the next reading due
    bool m_due = false;
    std::unique_ptr<BackgroundWork> m_reading;  // the reading under way
    std::vector<flight::PassedFix> m_passed;    // as told, for the table in another unit
    std::unique_ptr<flightlog::FlightLog> m_log;
    std::unique_ptr<flightlog::FlightKeeper> m_keeper;
    QLabel* m_logNote = nullptr;  // what the log tells, once
};

// How often the window reads X-Plane: every 5 seconds, or as BRIMWELL_TEST_FUEL_CHECK_INTERVAL_MS
// says (tests).
std::chrono::milliseconds fuelCheckInterval();

// The time of day a reading is stamped with: the local time, unless a test gives a clock (an
// empty one brings the local time back), whose time is then the readings' and the fixes' UTC too.
void setFuelCheckClock(std::function<QTime()> clock);

}  // namespace brimwell::ui
