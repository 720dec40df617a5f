// brimwell-plan's options and exit statuses: what each run prints on its output and its error
// stream. Each row is one run; the output must contain the given text ("" for no output at all).

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/plan_run.h"
#include "tests/support/plan.h"

namespace brimwell {
namespace {

using Arguments = std::vector<std::string>;

Arguments sample(const Arguments& more = {}) {
    Arguments arguments = test::planOptions(test::samplePlan());
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

const std::string kFailed = "brimwell-plan: Please enter all Flight Data or check limits\n";
std::string refused(const std::string& why) {
    return "brimwell-plan: " + why + "\n";
}

TEST(Plan, PrintsThePlanOrSaysWhyNot) {
    struct Row {
        Arguments arguments;
        int status;
        std::string out;
        std::string err;
    };
    const std::vector<Row> rows = {
        // clang-format off
        {sample(), kExitPlanned, "Wind Distance Correction: 4412 nm\n\n**", ""},
        {sample(), kExitPlanned, "(+) Flight Plan Fuel: 188400 lbs\n(=) Planned Gross Takeoff Weight: 721840 lbs\n", ""},
        {sample({"--correction"}), kExitPlanned, "(+) Flight Plan Fuel: 229551 lbs\n", ""},
        {sample({"--origin", "lirf x", "--alternate="}), kExitPlanned, "Origin: lirf x\nDestination: KJFK distance: 4000 nm\nAlternate:  distance: 200 nm\n", ""},
        {sample({"--distance=300", "--taxi-fuel", "0"}), kExitPlanned, "Destination: KJFK distance: 300 nm\n", ""},
        {sample({"--origin", "--json"}), kExitPlanned, "Origin: --json\n", ""},
        {sample({"--distance", "8400", "--wind-direction", "NoWind", "--wind", "1000", "--payload", "0140912", "--contingency", "0"}), kExitPlanned, "distance: 8400 nm\nAlternate: KBOS distance: 200 nm\nPrevalent Wind: NoWind - 1000 Knots\nFlight Level: FL350\nPayload: 0140912 lbs\n", ""},
        {sample({"--flight-level", "FL310", "--wind-direction=NoWind", "--alternate-distance", "500", "--min-landing-fuel", "24000"}), kExitPlanned, "Prevalent Wind: NoWind - 50 Knots\nFlight Level: FL310\n", ""},
        {{}, kExitCalculateFailed, "", kFailed},
        {sample({"--distance", "400", "--wind-direction", "Tail", "--wind", "1000"}), kExitCalculateFailed, "", kFailed},
        {sample({"--json"}), kExitPlanned, R"("txtZFW": "494088", "txtZFWDuplicate": "494088")", ""},
        {sample({"--json", "--payload", "140913"}), kExitRefused, "", refused("Payload: please enter a value lower then 140.912")},
        {sample({"--json", "--distance", "400", "--wind-direction", "Tail", "--wind", "1000"}), kExitCalculateFailed, R"({"failure": "Please enter all Flight Data or check limits", )", ""},
        {sample({"--json", "--distance", "400", "--wind-direction", "Tail", "--wind", "1000"}), kExitCalculateFailed, R"("txtDistWinCorr": "-683"}, "ticked": {"CheckCorrection": false}, "red": ["txtDistWinCorr"]})", ""},
        {{"--json", "--correction", "--origin", "a\"\\\tb\x01\xc3\xa9\xff\xe2\x82"}, kExitCalculateFailed, R"("txtOriginICAO": "a\"\\\u0009b\u0001)" "\xc3\xa9" R"(\ufffd\ufffd\ufffd")", ""},
        {{"--json", "--correction"}, kExitCalculateFailed, R"("ticked": {"CheckCorrection": true}, "red": []})", ""},
        {{"--help"}, kExitPlanned, "Usage: brimwell-plan", ""},
        {{"--help", "--distance", "99999"}, kExitRefused, "", refused("Distance: please enter a value lower then 8400")},
        {{"--distance", "8401"}, kExitRefused, "", refused("Distance: please enter a value lower then 8400")},
        {{"--distance", "99999999999999999999999"}, kExitRefused, "", refused("Distance: please enter a value lower then 8400")},
        {{"--wind", "1001"}, kExitRefused, "", refused("Wind: hey, don't you think it's too strong?")},
        {{"--payload=140913"}, kExitRefused, "", refused("Payload: please enter a value lower then 140.912")},
        {{"--distance", "4000,5"}, kExitRefused, "", refused("--distance takes digits only (0 to 9), not \"4000,5\"")},
        {{"--contingency", "-5"}, kExitRefused, "", refused("--contingency takes digits only (0 to 9), not \"-5\"")},
        {{"--taxi-fuel", " 2000"}, kExitRefused, "", refused("--taxi-fuel takes digits only (0 to 9), not \" 2000\"")},
        {{"--flight-level", "FL300"}, kExitRefused, "", refused("--flight-level \"FL300\" is not in the list; choose one of: FL410, FL400, FL390, FL380, FL370, FL360, FL350, FL340, FL330, FL320, FL310")},
        {{"--wind-direction", "head"}, kExitRefused, "", refused("--wind-direction \"head\" is not in the list; choose one of: Head, Tail, NoWind")},
        {{"--min-landing-fuel="}, kExitRefused, "", refused("--min-landing-fuel \"\" is not in the list; choose one of: 19000, 24000")},
        {{"--distance"}, kExitRefused, "", refused("--distance needs a value")},
        {{"--json=yes"}, kExitRefused, "", refused("--json takes no value")},
        {{"--fuel", "1"}, kExitRefused, "", refused("unknown option \"--fuel\" (see --help)")},
        {{"4000"}, kExitRefused, "", refused("unexpected argument \"4000\" (see --help)")},
        {{"--pdf="}, kExitRefused, "", refused("--pdf needs a file name")},
        // clang-format on
    };
    for (const auto& row : rows) {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(runPlan(row.arguments, out, err), row.status)
            << ::testing::PrintToString(row.arguments);
        if (row.out.empty()) {
            EXPECT_EQ(out.str(), "");
        } else {
            EXPECT_NE(out.str().find(row.out), std::string::npos) << out.str() << "\nhas no\n"
                                                                  << row.out;
        }
        EXPECT_EQ(err.str(), row.err);
    }
}

TEST(Plan, UsageNamesEveryOptionAndTheLists) {
    std::ostringstream out;
    std::ostringstream err;
    runPlan({"--help"}, out, err);
    for (const char* option :
         {"--origin", "--destination", "--alternate", "--distance", "--alternate-distance",
          "--wind-direction", "--wind", "--flight-level", "--payload", "--contingency",
          "--min-landing-fuel", "--taxi-fuel", "--correction", "--json", "--pdf", "--help",
          "Head, Tail, NoWind", "19000, 24000"}) {
        EXPECT_NE(out.str().find(std::string(" ") + option), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace brimwell
