#include "cli/plan_run.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/cell_names.h"
#include "engine/flight_data.h"
#include "engine/tests/param_name.h"

namespace brimwell {
namespace {

using Arguments = std::vector<std::string>;

const Arguments kSamplePlan = {
    "--distance",    "4000", "--alternate-distance", "200",   "--wind-direction", "Head",
    "--wind",        "50",   "--flight-level",       "FL350", "--payload",        "100000",
    "--contingency", "30",   "--min-landing-fuel",   "19000"};

Arguments with(Arguments arguments, const Arguments& more) {
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

struct PlanOutput {
    int status = -1;
    std::string out;
    std::string err;
};

PlanOutput runWith(const Arguments& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    PlanOutput result;
    result.status = runPlan(arguments, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(PlanRun, PrintsTheReportOfTheSamplePlan) {
    const PlanOutput r = runWith(with(kSamplePlan, {"--origin", "KJFK", "--destination", "EGLL"}));
    EXPECT_EQ(r.status, kExitPlanned);
    EXPECT_EQ(r.err, "");
    const auto lines = linesOf(r.out);
    ASSERT_EQ(lines.size(), 37U);
    EXPECT_EQ(lines[0], "Boeing 747-400 - Fuel Planning Schematic");
    EXPECT_EQ(lines[4], "Origin: KJFK");
    EXPECT_EQ(lines[6], "Alternate:  distance: 200 nm");
    EXPECT_EQ(lines[16], "(=) Zero Fuel Weight: 494088 lbs");
    EXPECT_EQ(lines[25], "(+) Flight Plan Fuel: 188400 lbs");
    EXPECT_EQ(lines[33], "Extimated Time to Arrive (ETA): 9:07 hh:mm");
}

TEST(PlanRun, CorrectionTickChangesTheFlightPlanFuel) {
    const auto plain = linesOf(runWith(kSamplePlan).out);
    const auto corrected = linesOf(runWith(with(kSamplePlan, {"--correction"})).out);
    ASSERT_EQ(plain.size(), 37U);
    ASSERT_EQ(corrected.size(), 37U);
    EXPECT_NE(plain[25], corrected[25]);
    EXPECT_EQ(plain[16], corrected[16]);
}

struct FailedCase {
    const char* name;
    Arguments arguments;
    int status;
    const char* err;
};

class PlanRunFails : public ::testing::TestWithParam<FailedCase> {};

TEST_P(PlanRunFails, PrintsOnlyTheMessageOnTheErrorStream) {
    const FailedCase& c = GetParam();
    const PlanOutput r = runWith(c.arguments);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlanRunFails,
    ::testing::Values(
        FailedCase{"NothingGiven",
                   {},
                   kExitCalculateFailed,
                   "brimwell-plan: Please enter all Flight Data or check limits\n"},
        FailedCase{"NoFlightLevel",
                   {"--distance", "4000", "--alternate-distance", "200", "--wind-direction", "Head",
                    "--wind", "50", "--payload", "100000", "--contingency", "30",
                    "--min-landing-fuel", "19000"},
                   kExitCalculateFailed,
                   "brimwell-plan: Please enter all Flight Data or check limits\n"},
        FailedCase{
            "TailWindBeyondTheDistance",
            with(kSamplePlan, {"--distance", "400", "--wind-direction", "Tail", "--wind", "1000"}),
            kExitCalculateFailed, "brimwell-plan: Please enter all Flight Data or check limits\n"},
        FailedCase{"RefusedBeforeAnythingIsComputed", with(kSamplePlan, {"--payload", "140913"}),
                   kExitRefused,
                   "brimwell-plan: Payload: please enter a value lower then 140.912\n"},
        FailedCase{"RefusedEvenWithJson",
                   {"--json", "--wind", "1001"},
                   kExitRefused,
                   "brimwell-plan: Wind: hey, don't you think it's too strong?\n"}),
    ParamName());

TEST(PlanRun, JsonOfAFinishedPlanHasEveryCell) {
    const PlanOutput r = runWith(with(kSamplePlan, {"--json", "--alternate", "LF\"PG\\"}));
    EXPECT_EQ(r.status, kExitPlanned);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("{\"failure\": null, \"cells\": {", 0), 0U) << r.out;
    for (const auto name : cell::kInputs) {
        EXPECT_NE(r.out.find("\"" + std::string(name) + "\": "), std::string::npos) << name;
    }
    for (const auto name : cell::kResults) {
        EXPECT_NE(r.out.find("\"" + std::string(name) + "\": "), std::string::npos) << name;
    }
    EXPECT_NE(r.out.find("\"txtBOW\": \"394088\""), std::string::npos);
    EXPECT_NE(r.out.find("\"txtZFW\": \"494088\""), std::string::npos);
    EXPECT_NE(r.out.find("\"txtAlternateICAO\": \"LF\\\"PG\\\\\""), std::string::npos);
    EXPECT_NE(r.out.find("\"ticked\": {\"CheckCorrection\": false}"), std::string::npos);
    EXPECT_EQ(r.out.back(), '\n');
}

TEST(PlanRun, JsonAfterAFailureShowsTheMessageThePartlyWrittenCellsAndTheRedOnes) {
    const PlanOutput r = runWith(with(kSamplePlan, {"--json", "--distance", "400",
                                                    "--wind-direction", "Tail", "--wind", "1000"}));
    EXPECT_EQ(r.status, kExitCalculateFailed);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("\"failure\": \"" + std::string(kFailureMessage) + "\""),
              std::string::npos);
    // The weights before the trip are written; the negative corrected distance shows in red.
    EXPECT_NE(r.out.find("\"txtZFW\": \"494088\""), std::string::npos);
    EXPECT_NE(r.out.find("\"txtDistWinCorr\": \"-"), std::string::npos);
    EXPECT_NE(r.out.find("\"red\": [\"txtDistWinCorr\"]"), std::string::npos) << r.out;
}

TEST(PlanJson, EscapesControlCharactersAndReplacesBrokenUtf8) {
    MemoryCells cells;
    cells.setText(cell::txtOriginICAO, std::string("a\tb\x01") + "\xc3\xa9" + "\xff" + "\xe2\x82");
    const std::string json = planJson(cells, std::nullopt);
    EXPECT_NE(json.find("\"txtOriginICAO\": \"a\\u0009b\\u0001\xc3\xa9\\ufffd\\ufffd\\ufffd\""),
              std::string::npos)
        << json;
}

TEST(PlanRun, HelpPrintsTheUsageAndComputesNothing) {
    const PlanOutput r = runWith({"--help", "--distance", "99999"});
    // The distance is refused before help is looked at: options are read in full first.
    EXPECT_EQ(r.status, kExitRefused);
    const PlanOutput help = runWith({"--help"});
    EXPECT_EQ(help.status, kExitPlanned);
    EXPECT_EQ(help.out.rfind("Usage: brimwell-plan", 0), 0U);
    EXPECT_EQ(help.err, "");
}

}  // namespace
}  // namespace brimwell
