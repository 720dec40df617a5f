#pragma once

// The main window's menu bar, above the layout: File (open a flight plan, fetch the latest one
// from SimBrief, the SimBrief user, the flights kept), Aircraft (load the plan into X-Plane, the
// fuel check, X-Plane's address, the flight on a tablet, the pilot's fuel factor, a tick) and
// Units (pounds or kilograms, one of them ticked). Its rows are a table in menu_bar.cpp: a menu
// more is rows more. Each item is an action named as its row says (mnuOpenFlightPlan, ...), which
// the window finds by that name to enable or tick it.

#include <functional>

class QMenuBar;

namespace brimwell::ui {

// What the items do, one command each.
struct MenuCommands {
    std::function<void()> openFlightPlan;
    std::function<void()> fetchFlightPlan;
    std::function<void()> askSimbriefUser;
    std::function<void()> showFlights;
    std::function<void()> loadIntoXPlane;
    std::function<void()> checkFuel;
    std::function<void()> askXPlaneAddress;
    std::function<void()> showOnTablet;
    std::function<void()> tickFuelFactor;
    std::function<void()> showPounds;
    std::function<void()> showKilograms;
};

// Adds the menus and their items to bar, each item calling its command when chosen.
void buildMenuBar(QMenuBar& bar, const MenuCommands& commands);

}  // namespace brimwell::ui
