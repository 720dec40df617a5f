#include "ui/control_catalogue.h"

#include <array>

#include "engine/cell_names.h"
#include "engine/flight_data.h"

namespace brimwell::ui {

namespace {

constexpr std::string_view kWindow;
constexpr std::string_view kFlightData = "frmFlightData";
constexpr std::string_view kSchematic = "frmFuelPlanningSchematic";
constexpr std::string_view kInstructions = "frmInstructions";

// The window font is MS Sans Serif 8.25 bold.
constexpr FontDescription kWindowFont{"MS Sans Serif", 8.25, true};
constexpr FontDescription kSans{"MS Sans Serif", 8.25, false};
constexpr FontDescription kSans12{"MS Sans Serif", 12.0, false};
constexpr FontDescription kSans12Bold{"MS Sans Serif", 12.0, true};
constexpr FontDescription kArial{"Arial", 8.25, false};
constexpr FontDescription kArial9Bold{"Arial", 9.0, true};
constexpr FontDescription kArialCell{"Arial", 9.75, true};
constexpr FontDescription kArialTitle{"Arial", 12.0, true};
constexpr FontDescription kNoFont{};

constexpr Rgb kBlue{128, 255, 255};
constexpr Rgb kYellow{255, 255, 0};
constexpr TextColour kNavyText{TextColourKind::Rgb, {0, 0, 192}};
constexpr TextColour kGreyText{TextColourKind::Rgb, {128, 128, 128}};
constexpr TextColour kWindowFrameText{TextColourKind::SystemWindowFrame, {}};

constexpr ControlDescription frame(std::string_view name, std::string_view caption, int tab,
                                   Twips place) {
    ControlDescription c;
    c.name = name;
    c.kind = ControlKind::Frame;
    c.container = kWindow;
    c.caption = caption;
    c.font = kSans;
    c.tabIndex = tab;
    c.place = place;
    return c;
}

constexpr ControlDescription label(std::string_view name, std::string_view container,
                                   std::string_view caption, FontDescription font, int tab,
                                   Twips place, TextColour colour = {},
                                   Alignment alignment = Alignment::Left) {
    ControlDescription c;
    c.name = name;
    c.kind = ControlKind::Label;
    c.container = container;
    c.caption = caption;
    c.textColour = colour;
    c.font = font;
    c.alignment = alignment;
    c.tabIndex = tab;
    c.place = place;
    return c;
}

// Every text box is right-aligned.
constexpr ControlDescription textBox(std::string_view name, std::string_view container,
                                     std::string_view text, std::string_view tooltip,
                                     std::optional<Rgb> background, FontDescription font,
                                     bool locked, int tab, Twips place,
                                     std::string_view accessibleName) {
    ControlDescription c;
    c.name = name;
    c.kind = ControlKind::TextBox;
    c.container = container;
    c.caption = text;
    c.tooltip = tooltip;
    c.background = background;
    c.font = font;
    c.alignment = Alignment::Right;
    c.locked = locked;
    c.tabIndex = tab;
    c.place = place;
    c.accessibleName = accessibleName;
    return c;
}

constexpr ControlDescription input(std::string_view name, std::string_view container,
                                   std::string_view tooltip, FontDescription font, int tab,
                                   Twips place, std::string_view accessibleName) {
    return textBox(name, container, "", tooltip, kBlue, font, false, tab, place, accessibleName);
}

constexpr ControlDescription result(std::string_view name, std::string_view tooltip, int tab,
                                    int top, std::string_view accessibleName) {
    return textBox(name, kSchematic, "", tooltip, std::nullopt, kArialCell, true, tab,
                   {2880, top, 1695, 285}, accessibleName);
}

// Every combo box is a drop-down list: the user picks an item and types no value of his own.
constexpr ControlDescription dropDownList(std::string_view name, std::string_view container,
                                          std::span<const std::string_view> list,
                                          std::string_view tooltip, TextColour colour, int tab,
                                          Twips place, std::string_view accessibleName) {
    ControlDescription c;
    c.name = name;
    c.kind = ControlKind::ComboBox;
    c.container = container;
    c.list = list;
    c.tooltip = tooltip;
    c.background = kBlue;
    c.textColour = colour;
    c.font = kArialCell;
    c.tabIndex = tab;
    c.place = place;
    c.accessibleName = accessibleName;
    return c;
}

constexpr ControlDescription button(std::string_view name, std::string_view caption, int tab,
                                    int top, std::string_view description) {
    ControlDescription c;
    c.name = name;
    c.kind = ControlKind::CommandButton;
    c.container = kWindow;
    c.caption = caption;
    c.font = kSans;
    c.tabIndex = tab;
    c.place = {4200, top, 975, 375};
    c.accessibleDescription = description;
    return c;
}

constexpr ControlDescription picture(std::string_view name, std::string_view resource, int tab,
                                     Twips place, std::string_view accessibleName) {
    ControlDescription c;
    c.name = name;
    c.kind = ControlKind::PictureBox;
    c.container = kWindow;
    c.caption = resource;
    c.font = kNoFont;
    c.tabIndex = tab;
    c.place = place;
    c.accessibleName = accessibleName;
    return c;
}

constexpr ControlDescription checkBox(std::string_view name, int tab, Twips place,
                                      std::string_view accessibleName) {
    ControlDescription c;
    c.name = name;
    c.kind = ControlKind::CheckBox;
    c.container = kFlightData;
    c.font = kWindowFont;
    c.tabIndex = tab;
    c.place = place;
    c.accessibleName = accessibleName;
    return c;
}

// The caption of the check box, which stands in the label beside it.
constexpr std::string_view kCorrectionCaption =
    "Enable fuel burnout correction for deviation above/below 475.000 lbs Landing Weight";

constexpr std::array kControls = {
    // On the window itself.
    picture("Picture2", ":/brimwell/picture2.jpg", 86, {6720, 0, 1575, 735},
            "Boeing 747 in flight"),
    label("Label18", kWindow, "Boeing 747-400 Brimwell v2.01", kArialTitle, 84,
          {120, 120, 3975, 375}, kNavyText),
    label("Label19", kWindow, "by the Brimwell team", kSans, 85, {8400, 240, 1815, 255}, kNavyText),
    label("Label20", kWindow, "(For Flight Simulator only!)", kWindowFont, 88,
          {720, 480, 2295, 255}, kGreyText),
    frame("frmFlightData", "Flight Data", 19, {120, 720, 3975, 6255}),
    frame("frmFuelPlanningSchematic", "Fuel Planning Schematic", 23, {5280, 720, 5055, 7095}),
    button("cmdCalculate", "&Calculate", 20, 3000,
           "Computes the fuel planning schematic from the flight data"),
    button("Command1", "c&Lear", 21, 3600,
           "Empties the results of the schematic; the flight data stay"),
    button("Uscita", "&Exit", 22, 4200, "Ends the program"),
    button("cmbPrint", "&Print", 87, 4800,
           "Prints the flight data and the schematic on the default printer"),
    picture("Picture1", ":/brimwell/picture1.jpg", 83, {4320, 5760, 735, 1215},
            "Aerobatic formation trailing coloured smoke"),
    frame("frmInstructions", "Instructions", 65, {120, 6960, 4935, 855}),

    // In the frame "Flight Data".
    label("lblICAO", kFlightData, "ICAO", kSans, 58, {1440, 480, 495, 255}),
    label("Label4", kFlightData, "Distance (nm)", kSans, 59, {2400, 480, 975, 255}),
    label("Label1", kFlightData, "Origin", kSans, 0, {600, 720, 495, 255}),
    input(cell::txtOriginICAO, kFlightData, "Not Mandatory", kArialCell, 1, {1080, 720, 1095, 285},
          "Origin ICAO"),
    label("lblOriginDistance", kFlightData, "-", kSans, 60, {2400, 720, 975, 255}, {},
          Alignment::Centred),
    label("Label2", kFlightData, "Destination", kSans, 2, {240, 1080, 855, 255}),
    input(cell::txtDestinationICAO, kFlightData, "Not Mandatory", kArialCell, 3,
          {1080, 1080, 1095, 285}, "Destination ICAO"),
    input(cell::txtDestinationDistance, kFlightData, "", kWindowFont, 4, {2400, 1080, 975, 285},
          "Destination Distance (nm)"),
    label("Label5", kFlightData, "nm", kSans, 69, {3480, 1080, 375, 255}),
    label("Label3", kFlightData, "Alternate", kSans, 5, {360, 1440, 735, 255}),
    input(cell::txtAlternateICAO, kFlightData, "Not Mandatory", kArialCell, 6,
          {1080, 1440, 1095, 285}, "Alternate ICAO"),
    dropDownList(cell::cmbAlternateDistance, kFlightData, kAlternateDistances, "", {}, 7,
                 {2400, 1440, 975, 360}, "Alternate Distance (nm)"),
    label("Label6", kFlightData, "nm", kSans, 70, {3480, 1440, 375, 255}),
    label("lblWindDirection", kFlightData, "Direction", kSans, 61, {1560, 2040, 735, 255}),
    label("lblWindIntensity", kFlightData, "Knots", kSans, 62, {3120, 2040, 495, 255}),
    label("lblPrevalenteWind", kFlightData, "Prevalent Wind", kSans, 8, {120, 2280, 1095, 255}),
    dropDownList(cell::cmbWindDirection, kFlightData, kWindDirections, "", {}, 9,
                 {1320, 2280, 1455, 360}, "Prevalent Wind Direction"),
    input(cell::txtWindIntensity, kFlightData, "Insert 0 (zero) if NO Wind", kArialCell, 10,
          {2880, 2280, 975, 315}, "Prevalent Wind Knots"),
    label("lblFlightLevel", kFlightData, "Flight Level", kSans, 11, {840, 2880, 855, 255}),
    dropDownList(cell::cmbFlightLevel, kFlightData, kFlightLevels, "", {}, 12,
                 {1800, 2880, 1095, 360}, "Flight Level"),
    label("lblPayload", kFlightData, "Payload", kSans, 13, {1080, 3480, 615, 255}),
    input(cell::txtPayLoad, kFlightData, "Refer to Configuration Manager (Passenger + Cargo)",
          kArialCell, 14, {1800, 3480, 1095, 285}, "Payload (lbs)"),
    label("lblPayloadlbs", kFlightData, "lbs", kSans, 63, {3000, 3480, 855, 255}),
    label("lblContingencyTime", kFlightData, "Contingency Time", kSans, 15, {360, 4080, 1335, 255}),
    input(cell::txtContingencyTime, kFlightData, "", kArialCell, 16, {1800, 4080, 1095, 285},
          "Contingency Time (minutes)"),
    label("lblContingencyTimeminutes", kFlightData, "minutes", kSans, 64, {3000, 4080, 855, 255}),
    label("lblFlightDirection", kFlightData, "Distance correction depending on wind", kSans, 17,
          {720, 4680, 3015, 255}),
    textBox(cell::txtDistWinCorr, kFlightData, "", "MUST be lower than 8.400 nm", std::nullopt,
            kWindowFont, true, 18, {1080, 5040, 1695, 285},
            "Distance correction depending on wind (nm)"),
    label("lblDistWinCorr", kFlightData, "nm", kSans, 68, {2880, 5040, 375, 255}),
    label("Label17", kFlightData, kCorrectionCaption, kSans, 82, {240, 5520, 3135, 495}),
    checkBox(cell::CheckCorrection, 81, {3480, 5640, 255, 255}, kCorrectionCaption),

    // In the frame "Fuel Planning Schematic": a column of sums, a row caption on the left, the
    // cell at 2880 and the sign at 4680.
    label("lblBOW", kSchematic, "Basic Operation Empty Weight", kArial, 24, {600, 360, 2175, 255}),
    textBox(cell::txtBOW, kSchematic, kBasicOperationEmptyWeight,
            "from the Configuration Manager with Payload=0", kYellow, kArialCell, true, 25,
            {2880, 360, 1695, 285}, "Basic Operation Empty Weight"),
    label("Label7", kSchematic, "+", kSans12, 71, {4680, 360, 255, 255}),
    label("lblPLDuplicate", kSchematic, "Payload", kArial, 26, {2160, 720, 615, 255}),
    result(cell::txtPayLoadDuplicate, "", 27, 720, "Payload"),
    label("Label8", kSchematic, "=", kSans12Bold, 72, {4680, 720, 255, 255}),
    label("lblZFW", kSchematic, "Zero Fuel Weight", kArial9Bold, 28, {1320, 1080, 1455, 255}),
    result(cell::txtZFW, "MUST be lower than 535.000 lbs", 29, 1080, "Zero Fuel Weight"),
    label("lblZFWDuplicate", kSchematic, "Zero Fuel Weight", kSans, 30, {1560, 1560, 1335, 255}),
    result(cell::txtZFWDuplicate, "", 31, 1560, "Zero Fuel Weight"),
    label("Label9", kSchematic, "+", kSans12, 73, {4680, 1560, 255, 255}),
    label("lblMLF", kSchematic, "Minimum Landing Fuel", kSans, 32, {1200, 1920, 1695, 255}),
    dropDownList(cell::cmbMLF, kSchematic, kMinimumLandingFuels,
                 "19.000 lbs for short range; 24.000 lbs for long range", kWindowFrameText, 33,
                 {2880, 1920, 1695, 360}, "Minimum Landing Fuel"),
    label("Label10", kSchematic, "+", kSans12, 74, {4680, 1920, 255, 255}),
    label("lblAF", kSchematic, "Alternate Fuel", kSans, 34, {1800, 2280, 975, 255}),
    result(cell::txtAF, "", 35, 2280, "Alternate Fuel"),
    label("Label11", kSchematic, "+", kSans12, 75, {4680, 2280, 255, 255}),
    label("lblCF", kSchematic, "Contingency Fuel", kSans, 36, {1560, 2640, 1335, 255}),
    result(cell::txtCF, "", 37, 2640, "Contingency Fuel"),
    label("Label13", kSchematic, "=", kSans12, 76, {4680, 2640, 255, 255}),
    label("lblPLW", kSchematic, "Planned Landing Weight", kWindowFont, 38, {720, 3000, 2175, 255}),
    result(cell::txtPLW, "MUST be lower than 630.000 lbs", 39, 3000, "Planned Landing Weight"),
    label("lblPLWDuplicate", kSchematic, "Planned Landing Weight", kSans, 40,
          {1080, 3480, 1815, 255}),
    result(cell::txtPLWDuplicate, "", 41, 3480, "Planned Landing Weight"),
    label("Label12", kSchematic, "+", kSans12, 77, {4680, 3480, 255, 255}),
    label("lblFPF", kSchematic, "Flight Plan Fuel", kSans, 42, {1680, 3840, 1095, 255}),
    result(cell::txtFPF, "", 43, 3840, "Flight Plan Fuel"),
    label("Label15", kSchematic, "=", kSans12, 78, {4680, 3840, 255, 255}),
    label("lblGTW", kSchematic, "Planned Gross Takeoff Weight", kArial9Bold, 44,
          {240, 4200, 2655, 255}),
    result(cell::txtGTW, "MUST be lower than 875.000 lbs", 45, 4200,
           "Planned Gross Takeoff Weight"),
    label("lblGTWDuplicate", kSchematic, "Planned Gross Takeoff Weight", kSans, 46,
          {600, 4680, 2295, 255}),
    result(cell::txtGTWDuplicate, "", 47, 4680, "Planned Gross Takeoff Weight"),
    label("Label14", kSchematic, "+", kSans12, 79, {4680, 4680, 255, 255}),
    label("lblTF", kSchematic, "Taxi Fuel Burn Off", kSans, 48, {1440, 5040, 1335, 255}),
    textBox(cell::txtTFB, kSchematic, kDefaultTaxiFuel, "", kBlue, kArialCell, false, 49,
            {2880, 5040, 1695, 285}, "Taxi Fuel Burn Off"),
    label("Label16", kSchematic, "=", kSans12, 80, {4680, 5040, 255, 255}),
    label("lblTW", kSchematic, "Planned Taxi-Out Weight", kArial9Bold, 50, {720, 5400, 2175, 255}),
    result(cell::txtTW, "MUST be lower than 877.000 lbs", 51, 5400, "Planned Taxi-Out Weight"),
    label("lblFL", kSchematic, "TOTAL FUEL LOAD", kArial9Bold, 52, {1200, 5880, 1695, 255}),
    result(cell::txtFL, "", 53, 5880, "TOTAL FUEL LOAD"),
    label("lblETA", kSchematic, "Extimated Time to Arrive (ETA)", kArial9Bold, 54,
          {240, 6240, 2655, 255}),
    result(cell::txtETA, "", 55, 6240, "Extimated Time to Arrive (ETA)"),
    label("lblICA", kSchematic, "Optimal Initial Cruise Altitude", kArial9Bold, 56,
          {360, 6600, 2535, 255}),
    result(cell::txtICA, "", 57, 6600, "Optimal Initial Cruise Altitude"),

    // In the frame "Instructions".
    label("lblInstructions1", kInstructions,
          "Insert Flight Data into blue cells and press the \"Calculate\" button", kSans, 66,
          {120, 240, 4575, 255}),
    label("lblInstructions2", kInstructions, "NOTE: all weights are in LBS", kSans, 67,
          {120, 480, 4215, 255}),
};

static_assert(kControls.size() == 89);

constexpr WindowDescription kWindowDescription{
    "Brimwell",
    10290,
    7935,
    ":/brimwell/brimwell-16.png",
    ":/brimwell/brimwell-32.png",
    ":/brimwell/brimwell.svg",
};

}  // namespace

const WindowDescription& windowDescription() {
    return kWindowDescription;
}

std::span<const ControlDescription> controlCatalogue() {
    return kControls;
}

}  // namespace brimwell::ui
