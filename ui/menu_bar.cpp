#include "ui/menu_bar.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <array>
#include <string_view>

#include "ui/control_names.h"
#include "ui/qt_text.h"

namespace brimwell::ui {

namespace {

// A row of the menu bar: the menu, and one of its items with its command. The items of a named
// group are ticked, one of them at a time.
struct MenuItem {
    std::string_view menu;
    std::string_view menuCaption;
    std::string_view name;
    std::string_view caption;
    std::string_view shortcut;
    std::function<void()> MenuCommands::*command;
    std::string_view group{};
    bool tick = false;  // ticked and unticked on its own
};

// The menus' access keys leave Alt+C, Alt+L, Alt+E and Alt+P to the buttons.
constexpr std::array<MenuItem, 11> kMenuItems = {{
    {.menu = control::mnuFile,
     .menuCaption = "&File",
     .name = control::mnuOpenFlightPlan,
     .caption = "&Open Flight Plan…",
     .shortcut = "Ctrl+O",
     .command = &MenuCommands::openFlightPlan},
    {.menu = control::mnuFile,
     .menuCaption = "&File",
     .name = control::mnuFetchFlightPlan,
     .caption = "&Fetch Latest Flight Plan…",
     .shortcut = "",
     .command = &MenuCommands::fetchFlightPlan},
    {.menu = control::mnuFile,
     .menuCaption = "&File",
     .name = control::mnuSimbriefUser,
     .caption = "SimBrief &User Name or Pilot ID…",
     .shortcut = "",
     .command = &MenuCommands::askSimbriefUser},
    {.menu = control::mnuFile,
     .menuCaption = "&File",
     .name = control::mnuFlights,
     .caption = "Fl&ights…",
     .shortcut = "",
     .command = &MenuCommands::showFlights},
    {.menu = control::mnuAircraft,
     .menuCaption = "&Aircraft",
     .name = control::mnuLoadIntoXPlane,
     .caption = "&Load into X-Plane",
     .shortcut = "Ctrl+Shift+X",
     .command = &MenuCommands::loadIntoXPlane},
    {.menu = control::mnuAircraft,
     .menuCaption = "&Aircraft",
     .name = control::mnuFuelCheck,
     .caption = "&Fuel Check",
     .shortcut = "Ctrl+Shift+F",
     .command = &MenuCommands::checkFuel},
    {.menu = control::mnuAircraft,
     .menuCaption = "&Aircraft",
     .name = control::mnuXPlaneAddress,
     .caption = "X-Plane &Address…",
     .shortcut = "",
     .command = &MenuCommands::askXPlaneAddress},
    {.menu = control::mnuAircraft,
     .menuCaption = "&Aircraft",
     .name = control::mnuShowOnTablet,
     .caption = "Show on a &Tablet…",
     .shortcut = "",
     .command = &MenuCommands::showOnTablet},
    {.menu = control::mnuAircraft,
     .menuCaption = "&Aircraft",
     .name = control::mnuFuelFactor,
     .caption = "Use &My Fuel Factor",
     .shortcut = "",
     .command = &MenuCommands::tickFuelFactor,
     .tick = true},
    {.menu = control::mnuUnits,
     .menuCaption = "U&nits",
     .name = control::mnuPounds,
     .caption = "Poun&ds (lbs)",
     .shortcut = "",
     .command = &MenuCommands::showPounds,
     .group = "weight"},
    {.menu = control::mnuUnits,
     .menuCaption = "U&nits",
     .name = control::mnuKilograms,
     .caption = "&Kilograms (kg)",
     .shortcut = "",
     .command = &MenuCommands::showKilograms,
     .group = "weight"},
}};

}  // namespace

void buildMenuBar(QMenuBar& bar, const MenuCommands& commands) {
    for (const MenuItem& item : kMenuItems) {
        auto* menu = bar.findChild<QMenu*>(toQString(item.menu));
        if (menu == nullptr) {
            menu = bar.addMenu(toQString(item.menuCaption));
            menu->setObjectName(toQString(item.menu));
        }
        QAction* action = menu->addAction(toQString(item.caption));
        action->setObjectName(toQString(item.name));
        action->setShortcut(QKeySequence(toQString(item.shortcut)));
        if (!item.group.empty()) {
            auto* group = menu->findChild<QActionGroup*>(toQString(item.group));
            if (group == nullptr) {
                group = new QActionGroup(menu);
                group->setObjectName(toQString(item.group));
            }
            action->setCheckable(true);
            group->addAction(action);
        }
        action->setCheckable(action->isCheckable() || item.tick);
        QObject::connect(action, &QAction::triggered, action,
                         [command = commands.*item.command] { command(); });
    }
}

}  // namespace brimwell::ui
