#include "ui/control_catalogue.h"

#include <array>

#include "engine/cell_names.h"
#include "engine/cell_values.h"
#include "ui/control_names.h"

namespace brimwell::ui {

using engine::kAlternateDistances;
using engine::kBasicOperationEmptyWeight;
using engine::kDefaultTaxiFuel;
using engine::kFlightLevels;
using engine::kMinimumLandingFuels;
using engine::kWindDirections;
using engine::Rgb;
namespace cell = engine::cell;

namespace {

constexpr std::string_view kFlightData = control::frmFlightData;
constexpr std::string_view kSchematic = control::frmFuelPlanningSchematic;
constexpr std::string_view kInstructions = control::frmInstructions;

// The window font is MS Sans Serif 8.25 bold.
constexpr FontDescription kWindowFont{"MS Sans Serif", 8.25, true};
constexpr FontDescription kSans{"MS Sans Serif", 8.25, false};
constexpr FontDescription kSans12{"MS Sans Serif", 12.0, false};
constexpr FontDescription kSans12Bold{"MS Sans Serif", 12.0, true};
constexpr FontDescription kArial{"Arial", 8.25, false};
constexpr FontDescription kArial9Bold{"Arial", 9.0, true};
constexpr FontDescription kArialCell{"Arial", 9.75, true};
constexpr FontDescription kArialTitle{"Arial", 12.0, true};

constexpr Rgb kBlue{128, 255, 255};
constexpr Rgb kYellow{255, 255, 0};
constexpr TextColour kNavyText{TextColourKind::Rgb, {0, 0, 192}};
constexpr TextColour kGreyText{TextColourKind::Rgb, {128, 128, 128}};
constexpr TextColour kWindowFrameText{TextColourKind::SystemWindowFrame, {}};

// The caption of the check box, which stands in the label beside it.
constexpr std::string_view kCorrectionCaption =
    "Enable fuel burnout correction for deviation above/below 475.000 lbs Landing Weight";

// The same in kilograms: 475000 lbs is 215456 kg.
constexpr std::string_view kCorrectionCaptionKilograms =
    "Enable fuel burnout correction for deviation above/below 215.456 kg Landing Weight";

// Places are {left, top, width, height} in twips. Every text box is right-aligned; every combo
// box is a drop-down list, whose text the user cannot type.
// The kinds and alignments by their own names within the table only, so that they never hide a
// type of the same name (PictureBox) from another source compiled with this one.
// clang-format off
constexpr auto kControls = [] {
    using enum ControlKind;
    using enum Alignment;
    return std::to_array<ControlDescription>({
    // On the window itself.
    {.name = "Picture2", .kind = PictureBox, .caption = ":/brimwell/picture2.jpg", .tabIndex = 86,
     .place = {6720, 0, 1575, 735}, .accessibleName = "Boeing 747 in flight"},
    {.name = "Label18", .caption = "Boeing 747-400 Brimwell v2.01", .textColour = kNavyText,
     .font = kArialTitle, .tabIndex = 84, .place = {120, 120, 3975, 375}},
    {.name = "Label19", .caption = "by the Brimwell team", .textColour = kNavyText, .font = kSans,
     .tabIndex = 85, .place = {8400, 240, 1815, 255}},
    {.name = "Label20", .caption = "(For Flight Simulator only!)", .textColour = kGreyText,
     .font = kWindowFont, .tabIndex = 88, .place = {720, 480, 2295, 255}},
    {.name = control::frmFlightData, .kind = Frame, .caption = "Flight Data", .font = kSans,
     .tabIndex = 19, .place = {120, 720, 3975, 6255}},
    {.name = control::frmFuelPlanningSchematic, .kind = Frame, .caption = "Fuel Planning Schematic",
     .font = kSans, .tabIndex = 23, .place = {5280, 720, 5055, 7095}},
    {.name = control::cmdCalculate, .kind = CommandButton, .caption = "&Calculate", .font = kSans,
     .tabIndex = 20, .place = {4200, 3000, 975, 375},
     .accessibleDescription = "Computes the fuel planning schematic from the flight data"},
    {.name = control::Command1, .kind = CommandButton, .caption = "c&Lear", .font = kSans, .tabIndex = 21,
     .place = {4200, 3600, 975, 375},
     .accessibleDescription = "Empties the results of the schematic; the flight data stay"},
    {.name = control::Uscita, .kind = CommandButton, .caption = "&Exit", .font = kSans, .tabIndex = 22,
     .place = {4200, 4200, 975, 375}, .accessibleDescription = "Ends the program"},
    {.name = control::cmbPrint, .kind = CommandButton, .caption = "&Print", .font = kSans, .tabIndex = 87,
     .place = {4200, 4800, 975, 375},
     .accessibleDescription = "Prints the flight data and the schematic on the default printer"},
    {.name = "Picture1", .kind = PictureBox, .caption = ":/brimwell/picture1.jpg", .tabIndex = 83,
     .place = {4320, 5760, 735, 1215},
     .accessibleName = "Aerobatic formation trailing coloured smoke"},
    {.name = control::frmInstructions, .kind = Frame, .caption = "Instructions", .font = kSans,
     .tabIndex = 65, .place = {120, 6960, 4935, 855}},

    // In the frame "Flight Data".
    {.name = "lblICAO", .container = kFlightData, .caption = "ICAO", .font = kSans, .tabIndex = 58,
     .place = {1440, 480, 495, 255}},
    {.name = "Label4", .container = kFlightData, .caption = "Distance (nm)", .font = kSans,
     .tabIndex = 59, .place = {2400, 480, 975, 255}},
    {.name = "Label1", .container = kFlightData, .caption = "Origin", .font = kSans, .tabIndex = 0,
     .place = {600, 720, 495, 255}},
    {.name = cell::txtOriginICAO, .kind = TextBox, .container = kFlightData,
     .tooltip = "Not Mandatory", .background = kBlue, .font = kArialCell, .alignment = Right,
     .tabIndex = 1, .place = {1080, 720, 1095, 285}, .accessibleName = "Origin ICAO"},
    {.name = "lblOriginDistance", .container = kFlightData, .caption = "-", .font = kSans,
     .alignment = Centred, .tabIndex = 60, .place = {2400, 720, 975, 255}},
    {.name = "Label2", .container = kFlightData, .caption = "Destination", .font = kSans,
     .tabIndex = 2, .place = {240, 1080, 855, 255}},
    {.name = cell::txtDestinationICAO, .kind = TextBox, .container = kFlightData,
     .tooltip = "Not Mandatory", .background = kBlue, .font = kArialCell, .alignment = Right,
     .tabIndex = 3, .place = {1080, 1080, 1095, 285}, .accessibleName = "Destination ICAO"},
    {.name = cell::txtDestinationDistance, .kind = TextBox, .container = kFlightData,
     .background = kBlue, .font = kWindowFont, .alignment = Right, .tabIndex = 4,
     .place = {2400, 1080, 975, 285}, .accessibleName = "Destination Distance (nm)"},
    {.name = "Label5", .container = kFlightData, .caption = "nm", .font = kSans, .tabIndex = 69,
     .place = {3480, 1080, 375, 255}},
    {.name = "Label3", .container = kFlightData, .caption = "Alternate", .font = kSans,
     .tabIndex = 5, .place = {360, 1440, 735, 255}},
    {.name = cell::txtAlternateICAO, .kind = TextBox, .container = kFlightData,
     .tooltip = "Not Mandatory", .background = kBlue, .font = kArialCell, .alignment = Right,
     .tabIndex = 6, .place = {1080, 1440, 1095, 285}, .accessibleName = "Alternate ICAO"},
    {.name = cell::cmbAlternateDistance, .kind = ComboBox, .container = kFlightData,
     .list = kAlternateDistances, .background = kBlue, .font = kArialCell, .tabIndex = 7,
     .place = {2400, 1440, 975, 360}, .accessibleName = "Alternate Distance (nm)"},
    {.name = "Label6", .container = kFlightData, .caption = "nm", .font = kSans, .tabIndex = 70,
     .place = {3480, 1440, 375, 255}},
    {.name = "lblWindDirection", .container = kFlightData, .caption = "Direction", .font = kSans,
     .tabIndex = 61, .place = {1560, 2040, 735, 255}},
    {.name = "lblWindIntensity", .container = kFlightData, .caption = "Knots", .font = kSans,
     .tabIndex = 62, .place = {3120, 2040, 495, 255}},
    {.name = "lblPrevalenteWind", .container = kFlightData, .caption = "Prevalent Wind",
     .font = kSans, .tabIndex = 8, .place = {120, 2280, 1095, 255}},
    {.name = cell::cmbWindDirection, .kind = ComboBox, .container = kFlightData,
     .list = kWindDirections, .background = kBlue, .font = kArialCell, .tabIndex = 9,
     .place = {1320, 2280, 1455, 360}, .accessibleName = "Prevalent Wind Direction"},
    {.name = cell::txtWindIntensity, .kind = TextBox, .container = kFlightData,
     .tooltip = "Insert 0 (zero) if NO Wind", .background = kBlue, .font = kArialCell,
     .alignment = Right, .tabIndex = 10, .place = {2880, 2280, 975, 315},
     .accessibleName = "Prevalent Wind Knots"},
    {.name = "lblFlightLevel", .container = kFlightData, .caption = "Flight Level", .font = kSans,
     .tabIndex = 11, .place = {840, 2880, 855, 255}},
    {.name = cell::cmbFlightLevel, .kind = ComboBox, .container = kFlightData,
     .list = kFlightLevels, .background = kBlue, .font = kArialCell, .tabIndex = 12,
     .place = {1800, 2880, 1095, 360}, .accessibleName = "Flight Level"},
    {.name = "lblPayload", .container = kFlightData, .caption = "Payload", .font = kSans,
     .tabIndex = 13, .place = {1080, 3480, 615, 255}},
    {.name = cell::txtPayLoad, .kind = TextBox, .container = kFlightData,
     .tooltip = "Refer to Configuration Manager (Passenger + Cargo)", .background = kBlue,
     .font = kArialCell, .alignment = Right, .tabIndex = 14, .place = {1800, 3480, 1095, 285},
     .accessibleName = "Payload (lbs)"},
    {.name = control::lblPayloadlbs, .container = kFlightData, .caption = "lbs", .font = kSans,
     .tabIndex = 63, .place = {3000, 3480, 855, 255}},
    {.name = "lblContingencyTime", .container = kFlightData, .caption = "Contingency Time",
     .font = kSans, .tabIndex = 15, .place = {360, 4080, 1335, 255}},
    {.name = cell::txtContingencyTime, .kind = TextBox, .container = kFlightData,
     .background = kBlue, .font = kArialCell, .alignment = Right, .tabIndex = 16,
     .place = {1800, 4080, 1095, 285}, .accessibleName = "Contingency Time (minutes)"},
    {.name = "lblContingencyTimeminutes", .container = kFlightData, .caption = "minutes",
     .font = kSans, .tabIndex = 64, .place = {3000, 4080, 855, 255}},
    {.name = "lblFlightDirection", .container = kFlightData,
     .caption = "Distance correction depending on wind", .font = kSans, .tabIndex = 17,
     .place = {720, 4680, 3015, 255}},
    {.name = cell::txtDistWinCorr, .kind = TextBox, .container = kFlightData,
     .tooltip = "MUST be lower than 8.400 nm", .font = kWindowFont, .alignment = Right,
     .locked = true, .tabIndex = 18, .place = {1080, 5040, 1695, 285},
     .accessibleName = "Distance correction depending on wind (nm)"},
    {.name = "lblDistWinCorr", .container = kFlightData, .caption = "nm", .font = kSans,
     .tabIndex = 68, .place = {2880, 5040, 375, 255}},
    {.name = control::Label17, .container = kFlightData, .caption = kCorrectionCaption, .font = kSans,
     .tabIndex = 82, .place = {240, 5520, 3135, 495}},
    {.name = cell::CheckCorrection, .kind = CheckBox, .container = kFlightData, .font = kWindowFont,
     .tabIndex = 81, .place = {3480, 5640, 255, 255}, .accessibleName = kCorrectionCaption},

    // In the frame "Fuel Planning Schematic": a column of sums, a row caption on the left, the
    // cell at 2880 and the sign at 4680.
    {.name = "lblBOW", .container = kSchematic, .caption = "Basic Operation Empty Weight",
     .font = kArial, .tabIndex = 24, .place = {600, 360, 2175, 255}},
    {.name = cell::txtBOW, .kind = TextBox, .container = kSchematic,
     .caption = kBasicOperationEmptyWeight,
     .tooltip = "from the Configuration Manager with Payload=0", .background = kYellow,
     .font = kArialCell, .alignment = Right, .locked = true, .tabIndex = 25,
     .place = {2880, 360, 1695, 285}, .accessibleName = "Basic Operation Empty Weight"},
    {.name = "Label7", .container = kSchematic, .caption = "+", .font = kSans12, .tabIndex = 71,
     .place = {4680, 360, 255, 255}},
    {.name = "lblPLDuplicate", .container = kSchematic, .caption = "Payload", .font = kArial,
     .tabIndex = 26, .place = {2160, 720, 615, 255}},
    {.name = cell::txtPayLoadDuplicate, .kind = TextBox, .container = kSchematic,
     .font = kArialCell, .alignment = Right, .locked = true, .tabIndex = 27,
     .place = {2880, 720, 1695, 285}, .accessibleName = "Payload"},
    {.name = "Label8", .container = kSchematic, .caption = "=", .font = kSans12Bold, .tabIndex = 72,
     .place = {4680, 720, 255, 255}},
    {.name = "lblZFW", .container = kSchematic, .caption = "Zero Fuel Weight", .font = kArial9Bold,
     .tabIndex = 28, .place = {1320, 1080, 1455, 255}},
    {.name = cell::txtZFW, .kind = TextBox, .container = kSchematic,
     .tooltip = "MUST be lower than 535.000 lbs", .font = kArialCell, .alignment = Right,
     .locked = true, .tabIndex = 29, .place = {2880, 1080, 1695, 285},
     .accessibleName = "Zero Fuel Weight"},
    {.name = "lblZFWDuplicate", .container = kSchematic, .caption = "Zero Fuel Weight",
     .font = kSans, .tabIndex = 30, .place = {1560, 1560, 1335, 255}},
    {.name = cell::txtZFWDuplicate, .kind = TextBox, .container = kSchematic, .font = kArialCell,
     .alignment = Right, .locked = true, .tabIndex = 31, .place = {2880, 1560, 1695, 285},
     .accessibleName = "Zero Fuel Weight"},
    {.name = "Label9", .container = kSchematic, .caption = "+", .font = kSans12, .tabIndex = 73,
     .place = {4680, 1560, 255, 255}},
    {.name = "lblMLF", .container = kSchematic, .caption = "Minimum Landing Fuel", .font = kSans,
     .tabIndex = 32, .place = {1200, 1920, 1695, 255}},
    {.name = cell::cmbMLF, .kind = ComboBox, .container = kSchematic, .list = kMinimumLandingFuels,
     .tooltip = "19.000 lbs for short range; 24.000 lbs for long range", .background = kBlue,
     .textColour = kWindowFrameText, .font = kArialCell, .tabIndex = 33,
     .place = {2880, 1920, 1695, 360}, .accessibleName = "Minimum Landing Fuel"},
    {.name = "Label10", .container = kSchematic, .caption = "+", .font = kSans12, .tabIndex = 74,
     .place = {4680, 1920, 255, 255}},
    {.name = "lblAF", .container = kSchematic, .caption = "Alternate Fuel", .font = kSans,
     .tabIndex = 34, .place = {1800, 2280, 975, 255}},
    {.name = cell::txtAF, .kind = TextBox, .container = kSchematic, .font = kArialCell,
     .alignment = Right, .locked = true, .tabIndex = 35, .place = {2880, 2280, 1695, 285},
     .accessibleName = "Alternate Fuel"},
    {.name = "Label11", .container = kSchematic, .caption = "+", .font = kSans12, .tabIndex = 75,
     .place = {4680, 2280, 255, 255}},
    {.name = "lblCF", .container = kSchematic, .caption = "Contingency Fuel", .font = kSans,
     .tabIndex = 36, .place = {1560, 2640, 1335, 255}},
    {.name = cell::txtCF, .kind = TextBox, .container = kSchematic, .font = kArialCell,
     .alignment = Right, .locked = true, .tabIndex = 37, .place = {2880, 2640, 1695, 285},
     .accessibleName = "Contingency Fuel"},
    {.name = "Label13", .container = kSchematic, .caption = "=", .font = kSans12, .tabIndex = 76,
     .place = {4680, 2640, 255, 255}},
    {.name = "lblPLW", .container = kSchematic, .caption = "Planned Landing Weight",
     .font = kWindowFont, .tabIndex = 38, .place = {720, 3000, 2175, 255}},
    {.name = cell::txtPLW, .kind = TextBox, .container = kSchematic,
     .tooltip = "MUST be lower than 630.000 lbs", .font = kArialCell, .alignment = Right,
     .locked = true, .tabIndex = 39, .place = {2880, 3000, 1695, 285},
     .accessibleName = "Planned Landing Weight"},
    {.name = "lblPLWDuplicate", .container = kSchematic, .caption = "Planned Landing Weight",
     .font = kSans, .tabIndex = 40, .place = {1080, 3480, 1815, 255}},
    {.name = cell::txtPLWDuplicate, .kind = TextBox, .container = kSchematic, .font = kArialCell,
     .alignment = Right, .locked = true, .tabIndex = 41, .place = {2880, 3480, 1695, 285},
     .accessibleName = "Planned Landing Weight"},
    {.name = "Label12", .container = kSchematic, .caption = "+", .font = kSans12, .tabIndex = 77,
     .place = {4680, 3480, 255, 255}},
    {.name = "lblFPF", .container = kSchematic, .caption = "Flight Plan Fuel", .font = kSans,
     .tabIndex = 42, .place = {1680, 3840, 1095, 255}},
    {.name = cell::txtFPF, .kind = TextBox, .container = kSchematic, .font = kArialCell,
     .alignment = Right, .locked = true, .tabIndex = 43, .place = {2880, 3840, 1695, 285},
     .accessibleName = "Flight Plan Fuel"},
    {.name = "Label15", .container = kSchematic, .caption = "=", .font = kSans12, .tabIndex = 78,
     .place = {4680, 3840, 255, 255}},
    {.name = "lblGTW", .container = kSchematic, .caption = "Planned Gross Takeoff Weight",
     .font = kArial9Bold, .tabIndex = 44, .place = {240, 4200, 2655, 255}},
    {.name = cell::txtGTW, .kind = TextBox, .container = kSchematic,
     .tooltip = "MUST be lower than 875.000 lbs", .font = kArialCell, .alignment = Right,
     .locked = true, .tabIndex = 45, .place = {2880, 4200, 1695, 285},
     .accessibleName = "Planned Gross Takeoff Weight"},
    {.name = "lblGTWDuplicate", .container = kSchematic, .caption = "Planned Gross Takeoff Weight",
     .font = kSans, .tabIndex = 46, .place = {600, 4680, 2295, 255}},
    {.name = cell::txtGTWDuplicate, .kind = TextBox, .container = kSchematic, .font = kArialCell,
     .alignment = Right, .locked = true, .tabIndex = 47, .place = {2880, 4680, 1695, 285},
     .accessibleName = "Planned Gross Takeoff Weight"},
    {.name = "Label14", .container = kSchematic, .caption = "+", .font = kSans12, .tabIndex = 79,
     .place = {4680, 4680, 255, 255}},
    {.name = "lblTF", .container = kSchematic, .caption = "Taxi Fuel Burn Off", .font = kSans,
     .tabIndex = 48, .place = {1440, 5040, 1335, 255}},
    {.name = cell::txtTFB, .kind = TextBox, .container = kSchematic, .caption = kDefaultTaxiFuel,
     .background = kBlue, .font = kArialCell, .alignment = Right, .tabIndex = 49,
     .place = {2880, 5040, 1695, 285}, .accessibleName = "Taxi Fuel Burn Off"},
    {.name = "Label16", .container = kSchematic, .caption = "=", .font = kSans12, .tabIndex = 80,
     .place = {4680, 5040, 255, 255}},
    {.name = "lblTW", .container = kSchematic, .caption = "Planned Taxi-Out Weight",
     .font = kArial9Bold, .tabIndex = 50, .place = {720, 5400, 2175, 255}},
    {.name = cell::txtTW, .kind = TextBox, .container = kSchematic,
     .tooltip = "MUST be lower than 877.000 lbs", .font = kArialCell, .alignment = Right,
     .locked = true, .tabIndex = 51, .place = {2880, 5400, 1695, 285},
     .accessibleName = "Planned Taxi-Out Weight"},
    {.name = "lblFL", .container = kSchematic, .caption = "TOTAL FUEL LOAD", .font = kArial9Bold,
     .tabIndex = 52, .place = {1200, 5880, 1695, 255}},
    {.name = cell::txtFL, .kind = TextBox, .container = kSchematic, .font = kArialCell,
     .alignment = Right, .locked = true, .tabIndex = 53, .place = {2880, 5880, 1695, 285},
     .accessibleName = "TOTAL FUEL LOAD"},
    {.name = "lblETA", .container = kSchematic, .caption = "Extimated Time to Arrive (ETA)",
     .font = kArial9Bold, .tabIndex = 54, .place = {240, 6240, 2655, 255}},
    {.name = cell::txtETA, .kind = TextBox, .container = kSchematic, .font = kArialCell,
     .alignment = Right, .locked = true, .tabIndex = 55, .place = {2880, 6240, 1695, 285},
     .accessibleName = "Extimated Time to Arrive (ETA)"},
    {.name = "lblICA", .container = kSchematic, .caption = "Optimal Initial Cruise Altitude",
     .font = kArial9Bold, .tabIndex = 56, .place = {360, 6600, 2535, 255}},
    {.name = cell::txtICA, .kind = TextBox, .container = kSchematic, .font = kArialCell,
     .alignment = Right, .locked = true, .tabIndex = 57, .place = {2880, 6600, 1695, 285},
     .accessibleName = "Optimal Initial Cruise Altitude"},

    // In the frame "Instructions".
    {.name = "lblInstructions1", .container = kInstructions,
     .caption = "Insert Flight Data into blue cells and press the \"Calculate\" button",
     .font = kSans, .tabIndex = 66, .place = {120, 240, 4575, 255}},
    {.name = control::lblInstructions2, .container = kInstructions,
     .caption = "NOTE: all weights are in LBS", .font = kSans, .tabIndex = 67,
     .place = {120, 480, 4215, 255}},

    });
}();
// clang-format on

static_assert(kControls.size() == 89);

// The limits in kilograms are the pound limits converted and rounded to whole kilograms: the
// cells turn red as they do in pounds, above the pound limit.
constexpr auto kKilogramTexts = std::to_array<KilogramText>({
    {control::lblPayloadlbs, TextRole::Caption, "kg"},
    {cell::txtPayLoad, TextRole::AccessibleName, "Payload (kg)"},
    {control::Label17, TextRole::Caption, kCorrectionCaptionKilograms},
    {cell::CheckCorrection, TextRole::AccessibleName, kCorrectionCaptionKilograms},
    {cell::txtZFW, TextRole::Tooltip, "MUST be lower than 242.672 kg"},
    {cell::cmbMLF, TextRole::Tooltip, "8.618 kg for short range; 10.886 kg for long range"},
    {cell::txtPLW, TextRole::Tooltip, "MUST be lower than 285.763 kg"},
    {cell::txtGTW, TextRole::Tooltip, "MUST be lower than 396.893 kg"},
    {cell::txtTW, TextRole::Tooltip, "MUST be lower than 397.801 kg"},
    {control::lblInstructions2, TextRole::Caption, "NOTE: all weights are in KG"},
});

constexpr WindowDescription kWindowDescription{
    .title = "Brimwell",
    .clientWidth = 10290,
    .clientHeight = 7935,
    .icon16 = ":/brimwell/brimwell-16.png",
    .icon32 = ":/brimwell/brimwell-32.png",
};

}  // namespace

const WindowDescription& windowDescription() {
    return kWindowDescription;
}

std::span<const ControlDescription> controlCatalogue() {
    return kControls;
}

std::span<const KilogramText> kilogramTexts() {
    return kKilogramTexts;
}

}  // namespace brimwell::ui
