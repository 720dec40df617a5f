#pragma once

// The names of the cells that the engine, the report and the headless planner use: the control
// names of the main window.

#include <array>
#include <string_view>

namespace brimwell::engine::cell {

// Each name is its control's object name and its --json key, spelt as the control is.
// NOLINTBEGIN(readability-identifier-naming)

// Flight data
inline constexpr std::string_view txtOriginICAO = "txtOriginICAO";
inline constexpr std::string_view txtDestinationICAO = "txtDestinationICAO";
inline constexpr std::string_view txtDestinationDistance = "txtDestinationDistance";
inline constexpr std::string_view txtAlternateICAO = "txtAlternateICAO";
inline constexpr std::string_view cmbAlternateDistance = "cmbAlternateDistance";
inline constexpr std::string_view cmbWindDirection = "cmbWindDirection";
inline constexpr std::string_view txtWindIntensity = "txtWindIntensity";
inline constexpr std::string_view cmbFlightLevel = "cmbFlightLevel";
inline constexpr std::string_view txtPayLoad = "txtPayLoad";
inline constexpr std::string_view txtContingencyTime = "txtContingencyTime";
inline constexpr std::string_view txtDistWinCorr = "txtDistWinCorr";
inline constexpr std::string_view CheckCorrection = "CheckCorrection";

// Fuel planning schematic
inline constexpr std::string_view txtBOW = "txtBOW";
inline constexpr std::string_view txtPayLoadDuplicate = "txtPayLoadDuplicate";
inline constexpr std::string_view txtZFW = "txtZFW";
inline constexpr std::string_view txtZFWDuplicate = "txtZFWDuplicate";
inline constexpr std::string_view cmbMLF = "cmbMLF";
inline constexpr std::string_view txtAF = "txtAF";
inline constexpr std::string_view txtCF = "txtCF";
inline constexpr std::string_view txtPLW = "txtPLW";
inline constexpr std::string_view txtPLWDuplicate = "txtPLWDuplicate";
inline constexpr std::string_view txtFPF = "txtFPF";
inline constexpr std::string_view txtGTW = "txtGTW";
inline constexpr std::string_view txtGTWDuplicate = "txtGTWDuplicate";
inline constexpr std::string_view txtTFB = "txtTFB";
inline constexpr std::string_view txtTW = "txtTW";
inline constexpr std::string_view txtFL = "txtFL";
inline constexpr std::string_view txtETA = "txtETA";
inline constexpr std::string_view txtICA = "txtICA";

// NOLINTEND(readability-identifier-naming)

// The input cells with a text, in the order of the window's focus chain.
inline constexpr std::array kInputs = {
    txtOriginICAO,
    txtDestinationICAO,
    txtDestinationDistance,
    txtAlternateICAO,
    cmbAlternateDistance,
    cmbWindDirection,
    txtWindIntensity,
    cmbFlightLevel,
    txtPayLoad,
    txtContingencyTime,
    cmbMLF,
    txtTFB,
};

// The fifteen cells that Calculate fills, in the order that Clear empties them.
inline constexpr std::array kResults = {
    txtPayLoadDuplicate,
    txtZFW,
    txtZFWDuplicate,
    txtAF,
    txtCF,
    txtPLW,
    txtPLWDuplicate,
    txtFPF,
    txtGTW,
    txtGTWDuplicate,
    txtTW,
    txtETA,
    txtFL,
    txtICA,
    txtDistWinCorr,
};

// The six result cells that Calculate may colour red; Clear gives them back the window
// background.
inline constexpr std::array kColoured = {txtZFW, txtPLW, txtGTW, txtTW, txtFL, txtDistWinCorr};

// Every cell of a plan, as the report's page and the flight log keep it: the inputs, txtBOW and
// the results, in that order, each given to take.
template <typename Take>
void forEachPlanCell(Take&& take) {
    for (const auto name : kInputs) {
        take(name);
    }
    take(txtBOW);
    for (const auto name : kResults) {
        take(name);
    }
}

}  // namespace brimwell::engine::cell
