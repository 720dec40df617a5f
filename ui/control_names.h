#pragma once

// The object names of the window's controls other than the cells (engine/cell_names.h): its
// buttons, frames, menus and menu items, the labels whose texts change with the unit, and the fuel
// check window's parts. Each is part of the program's contract, spelt as the control is; the window
// and its tests name them here. A label that only its own row of the catalogue names keeps its name
// there.

#include <string_view>

namespace brimwell::ui::control {

// NOLINTBEGIN(readability-identifier-naming)

// Buttons
inline constexpr std::string_view cmdCalculate = "cmdCalculate";
inline constexpr std::string_view Command1 = "Command1";  // Clear
inline constexpr std::string_view Uscita = "Uscita";      // Exit
inline constexpr std::string_view cmbPrint = "cmbPrint";

// Frames
inline constexpr std::string_view frmFlightData = "frmFlightData";
inline constexpr std::string_view frmFuelPlanningSchematic = "frmFuelPlanningSchematic";
inline constexpr std::string_view frmInstructions = "frmInstructions";

// Labels that read otherwise in kilograms
inline constexpr std::string_view lblPayloadlbs = "lblPayloadlbs";
inline constexpr std::string_view Label17 = "Label17";
inline constexpr std::string_view lblInstructions2 = "lblInstructions2";

// Menus and their items
inline constexpr std::string_view mnuFile = "mnuFile";
inline constexpr std::string_view mnuOpenFlightPlan = "mnuOpenFlightPlan";
inline constexpr std::string_view mnuFetchFlightPlan = "mnuFetchFlightPlan";
inline constexpr std::string_view mnuSimbriefUser = "mnuSimbriefUser";
inline constexpr std::string_view mnuFlights = "mnuFlights";
inline constexpr std::string_view mnuAircraft = "mnuAircraft";
inline constexpr std::string_view mnuLoadIntoXPlane = "mnuLoadIntoXPlane";
inline constexpr std::string_view mnuFuelCheck = "mnuFuelCheck";
inline constexpr std::string_view mnuXPlaneAddress = "mnuXPlaneAddress";
inline constexpr std::string_view mnuShowOnTablet = "mnuShowOnTablet";
inline constexpr std::string_view mnuFuelFactor = "mnuFuelFactor";
inline constexpr std::string_view mnuUnits = "mnuUnits";
inline constexpr std::string_view mnuPounds = "mnuPounds";
inline constexpr std::string_view mnuKilograms = "mnuKilograms";

// The tablet's dialog and its controls
inline constexpr std::string_view dlgTablet = "dlgTablet";
inline constexpr std::string_view chkTabletServe = "chkTabletServe";
inline constexpr std::string_view cmbTabletNetwork = "cmbTabletNetwork";
inline constexpr std::string_view spnTabletPort = "spnTabletPort";
inline constexpr std::string_view lblTabletAddress = "lblTabletAddress";
inline constexpr std::string_view lblTabletCode = "lblTabletCode";
inline constexpr std::string_view lblTabletDevices = "lblTabletDevices";

// The fuel check window and its parts (its figures' names stand in their own table)
inline constexpr std::string_view frmFuelCheck = "frmFuelCheck";
inline constexpr std::string_view answer = "answer";
inline constexpr std::string_view answerReason = "answerReason";
inline constexpr std::string_view plot = "plot";
inline constexpr std::string_view planNote = "planNote";
inline constexpr std::string_view figures = "figures";
inline constexpr std::string_view fixesPassed = "fixesPassed";
inline constexpr std::string_view landing = "landing";
inline constexpr std::string_view logNote = "logNote";

// The flights window (File > Flights…)
inline constexpr std::string_view frmFlights = "frmFlights";
inline constexpr std::string_view flightList = "flightList";
inline constexpr std::string_view fuelFactorNote = "fuelFactorNote";
inline constexpr std::string_view cmdOpenFlight = "cmdOpenFlight";
inline constexpr std::string_view cmdDeleteFlight = "cmdDeleteFlight";
inline constexpr std::string_view cmdExportFlights = "cmdExportFlights";

// NOLINTEND(readability-identifier-naming)

}  // namespace brimwell::ui::control
