#pragma once

// File > Flights…: the flights of the flight log (flightlog/flight_log.h), newest first, in a
// window of its own: the date, origin → destination, the trip burn planned and actual, the burn
// factor, the landing fuel against the planned, and whether landed or unfinished; under them the
// pilot's fuel factor in words, or why there is none yet. A flight opened (Open, or a double
// click) shows its plot and fixes again in the fuel check's window (ui/fuel_check_window.h);
// Delete… asks first; Export CSV… writes the list. Weights are in the unit of the main window,
// which the window follows.

#include <QWidget>

#include "engine/units.h"

class QLabel;
class QTableWidget;

namespace brimwell::flightlog {
class FlightLog;
}

namespace brimwell::ui {

class FlightsWindow final : public QWidget {
    Q_OBJECT

  public:
    // A window of its own over parent, which closes and deletes it with itself.
    FlightsWindow(engine::Unit unit, QWidget* parent);
    ~FlightsWindow() override;
    Q_DISABLE_COPY_MOVE(FlightsWindow)

    void setUnit(engine::Unit unit);
    // The list read again from the log.
    void refresh();

  private:
    int widthOfEveryColumn() const;
    std::int64_t chosenFlight() const;
    void openFlight();
    void deleteFlight();
    void exportList();

    engine::Unit m_unit;
    std::unique_ptr<flightlog::FlightLog> m_log;
    QTableWidget* m_list = nullptr;
    QLabel* m_factor = nullptr;
    QLabel* m_notice = nullptr;
};

}  // namespace brimwell::ui
