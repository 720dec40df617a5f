#include "cli/plan_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/cell_names.h"
#include "engine/tests/param_name.h"

namespace brimwell {
namespace {

using Arguments = std::vector<std::string>;

struct AcceptedCase {
    const char* name;
    Arguments arguments;
    std::string_view cell;
    const char* text;
};

class AcceptedOption : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedOption, FillsItsCellWithTheTextAsGiven) {
    const AcceptedCase& c = GetParam();
    const PlanRequest request = parsePlanOptions(c.arguments);
    ASSERT_EQ(request.cells.size(), 1U);
    EXPECT_EQ(request.cells.front().first, c.cell);
    EXPECT_EQ(request.cells.front().second, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AcceptedOption,
    ::testing::Values(
        AcceptedCase{"AirportCodeAsTyped", {"--origin", "lirf x"}, cell::txtOriginICAO, "lirf x"},
        AcceptedCase{"EmptyAirportCode", {"--alternate="}, cell::txtAlternateICAO, ""},
        AcceptedCase{
            "DistanceAtItsLimit", {"--distance", "8400"}, cell::txtDestinationDistance, "8400"},
        AcceptedCase{"WindAtItsLimit", {"--wind=1000"}, cell::txtWindIntensity, "1000"},
        AcceptedCase{"PayloadAtItsLimit", {"--payload", "140912"}, cell::txtPayLoad, "140912"},
        AcceptedCase{
            "LeadingZerosAreDigits", {"--payload", "0140912"}, cell::txtPayLoad, "0140912"},
        AcceptedCase{"EmptyDigitCell", {"--distance", ""}, cell::txtDestinationDistance, ""},
        AcceptedCase{"ContingencyHasNoLimit",
                     {"--contingency", "99999999"},
                     cell::txtContingencyTime,
                     "99999999"},
        AcceptedCase{"TaxiFuel", {"--taxi-fuel", "0"}, cell::txtTFB, "0"},
        AcceptedCase{"ListItem", {"--flight-level", "FL310"}, cell::cmbFlightLevel, "FL310"},
        AcceptedCase{
            "WindDirection", {"--wind-direction=NoWind"}, cell::cmbWindDirection, "NoWind"},
        AcceptedCase{"AlternateDistance",
                     {"--alternate-distance", "500"},
                     cell::cmbAlternateDistance,
                     "500"},
        AcceptedCase{"MinimumLandingFuel", {"--min-landing-fuel", "24000"}, cell::cmbMLF, "24000"}),
    ParamName());

struct RefusedCase {
    const char* name;
    Arguments arguments;
    const char* message;
};

class RefusedOption : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedOption, SaysWhy) {
    const RefusedCase& c = GetParam();
    try {
        parsePlanOptions(c.arguments);
        FAIL() << "accepted";
    } catch (const OptionError& error) {
        EXPECT_EQ(std::string(error.what()), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedOption,
    ::testing::Values(
        RefusedCase{"DistanceAboveItsLimit",
                    {"--distance", "8401"},
                    "Distance: please enter a value lower then 8400"},
        RefusedCase{
            "WindAboveItsLimit", {"--wind", "1001"}, "Wind: hey, don't you think it's too strong?"},
        RefusedCase{"PayloadAboveItsLimit",
                    {"--payload=140913"},
                    "Payload: please enter a value lower then 140.912"},
        RefusedCase{"HugeDistance",
                    {"--distance", "99999999999999999999999"},
                    "Distance: please enter a value lower then 8400"},
        RefusedCase{"DecimalCommaIsNoDigit",
                    {"--distance", "4000,5"},
                    "--distance takes digits only (0 to 9), not \"4000,5\""},
        RefusedCase{"SignIsNoDigit",
                    {"--contingency", "-5"},
                    "--contingency takes digits only (0 to 9), not \"-5\""},
        RefusedCase{"BlankIsNoDigit",
                    {"--taxi-fuel", " 2000"},
                    "--taxi-fuel takes digits only (0 to 9), not \" 2000\""},
        RefusedCase{"ItemOutsideTheList",
                    {"--flight-level", "FL300"},
                    "--flight-level \"FL300\" is not in the list; choose one of: FL410, FL400, "
                    "FL390, FL380, FL370, FL360, FL350, FL340, FL330, FL320, FL310"},
        RefusedCase{"ListItemsAreCaseSensitive",
                    {"--wind-direction", "head"},
                    "--wind-direction \"head\" is not in the list; choose one of: Head, Tail, "
                    "NoWind"},
        RefusedCase{"EmptyIsNoListItem",
                    {"--min-landing-fuel="},
                    "--min-landing-fuel \"\" is not in the list; choose one of: 19000, 24000"},
        RefusedCase{"MissingValue", {"--distance"}, "--distance needs a value"},
        RefusedCase{"FlagWithAValue", {"--json=yes"}, "--json takes no value"},
        RefusedCase{"UnknownOption", {"--fuel", "1"}, "unknown option \"--fuel\" (see --help)"},
        RefusedCase{"StrayArgument", {"4000"}, "unexpected argument \"4000\" (see --help)"},
        RefusedCase{"EmptyPdfName", {"--pdf="}, "--pdf needs a file name"}),
    ParamName());

TEST(PlanOptions, NoArgumentsAskForNothing) {
    const PlanRequest request = parsePlanOptions({});
    EXPECT_TRUE(request.cells.empty());
    EXPECT_FALSE(request.correction);
    EXPECT_FALSE(request.json);
    EXPECT_FALSE(request.help);
    EXPECT_FALSE(request.pdfPath.has_value());
}

TEST(PlanOptions, FlagsAndTheValueAfterAnOptionAreTakenAsTheyCome) {
    // A value that looks like an option is still the value of the option before it.
    const PlanRequest request = parsePlanOptions(
        {"--correction", "--origin", "--json", "--pdf", "plan.pdf", "--json", "--help"});
    EXPECT_TRUE(request.correction);
    EXPECT_TRUE(request.json);
    EXPECT_TRUE(request.help);
    ASSERT_EQ(request.cells.size(), 1U);
    EXPECT_EQ(request.cells.front().second, "--json");
    EXPECT_EQ(request.pdfPath, "plan.pdf");
}

TEST(PlanOptions, KeepsEverySettingInOrder) {
    const PlanRequest request =
        parsePlanOptions({"--distance", "4000", "--wind", "50", "--distance=300"});
    ASSERT_EQ(request.cells.size(), 3U);
    EXPECT_EQ(request.cells[0].second, "4000");
    EXPECT_EQ(request.cells[2].first, cell::txtDestinationDistance);
    EXPECT_EQ(request.cells[2].second, "300");
}

TEST(PlanOptions, UsageNamesEveryOptionAndTheLists) {
    const std::string usage = planUsage();
    for (const char* option :
         {"--origin", "--destination", "--alternate", "--distance", "--alternate-distance",
          "--wind-direction", "--wind", "--flight-level", "--payload", "--contingency",
          "--min-landing-fuel", "--taxi-fuel", "--correction", "--json", "--pdf", "--help"}) {
        EXPECT_NE(usage.find(std::string("  ") + option + " "), std::string::npos) << option;
    }
    EXPECT_NE(usage.find("Head, Tail, NoWind"), std::string::npos);
    EXPECT_NE(usage.find("19000, 24000"), std::string::npos);
}

}  // namespace
}  // namespace brimwell
