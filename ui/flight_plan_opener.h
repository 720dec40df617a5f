#pragma once

// A SimBrief flight plan into the main window's cells: opened from a file (File > Open Flight
// Plan…, or a file dropped on the window), or the pilot's latest fetched from SimBrief
// (links/simbrief/simbrief.h) off the window's thread (ui/background_work.h) while the window goes
// on answering. The plan's figures go into the cells, the results of an earlier Calculate are
// emptied as Clear empties them, and a summary says what was filled and what was not. A refused
// plan changes nothing and is told with its reason. One fetch at a time; a fetch still under way
// when the window goes is stopped, and its outcome dropped. The route of the plan's navigation log
// is kept for the fuel check (ui/fuel_check_window.h) while the origin and the destination stay as
// the plan filled them.

#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/unit_cells.h"
#include "flightplan/route.h"
#include "links/outcome.h"

class QAction;
class QWidget;

namespace brimwell::flightplan {
struct FlightPlanReading;
}

namespace brimwell::ui {

class BackgroundWork;

class FlightPlanOpener final {
  public:
    // window: the parent of the dialogs and boxes, and the owner of the fetch's work; cells: the
    // cells as the engine reads them, in the unit shown; fetchAction: File > Fetch, disabled while
    // a fetch is under way; clearResults: empties the results of an earlier Calculate;
    // busyChanged: told when a fetch starts or ends. The opener must not outlive any of them.
    FlightPlanOpener(QWidget& window, engine::UnitCells& cells, QAction& fetchAction,
                     std::function<void()> clearResults, std::function<void()> busyChanged);
    ~FlightPlanOpener();
    FlightPlanOpener(const FlightPlanOpener&) = delete;
    FlightPlanOpener(FlightPlanOpener&&) = delete;
    FlightPlanOpener& operator=(const FlightPlanOpener&) = delete;
    FlightPlanOpener& operator=(FlightPlanOpener&&) = delete;

    // Asks for the file, then opens it.
    void openChosenFile();
    // Opens the flight plan in file; a fetch under way is stopped, as the plan that the pilot
    // opened is the one he wants.
    void open(const QString& file);
    // Fetches the latest plan of the SimBrief user, asking for the user first if there is none.
    void fetchLatest();
    // Asks for the SimBrief user name or pilot ID and remembers it; empty when cancelled.
    QString askSimbriefUser();
    bool fetching() const;
    void stopFetch();
    // How long a fetch from SimBrief may take in all; ten seconds unless a test says else.
    void setFetchBound(std::chrono::milliseconds bound);
    // The route of the last plan filled, while the origin and destination cells still hold what
    // it filled them with; none for a plan without a readable navigation log.
    std::optional<flightplan::Route> route() const;

  private:
    // Puts what the plan gave into the cells and says what it did; a refused plan changes nothing
    // and is told as failure, followed by its reason. The plan is read here, where whatever it may
    // throw is told as failure too.
    void fill(const std::function<flightplan::FlightPlanReading()>& read, const QString& heading,
              const QString& failure);
    void fetchFinished(const QString& user, const links::Outcome<std::string>& outcome);

    QWidget& m_window;
    engine::UnitCells& m_cells;
    QAction& m_fetchAction;
    std::function<void()> m_clearResults;
    std::function<void()> m_busyChanged;
    std::chrono::milliseconds m_fetchBound;
    std::unique_ptr<BackgroundWork> m_fetch;
    std::optional<flightplan::Route> m_route;
    std::string m_routeOrigin, m_routeDestination;  // as the plan of the route filled them
};

}  // namespace brimwell::ui
