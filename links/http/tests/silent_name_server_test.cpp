// A name server that never answers, as a broken network has: the whole exchange, name lookup
// included, ends within its bound, for X-Plane's load and SimBrief's fetch alike, and says so.
// The planner runs in a network namespace of the test's own, whose one name server takes every
// query and answers none; where no such namespace can be made (not root), the test says so and
// is skipped.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/program_run.h"

namespace brimwell::test {
namespace {

struct Row {
    const char* name;
    std::vector<std::string> options;
    std::vector<std::string> environment;
    int status;
    const char* err;
};

TEST(SilentNameServer, EndsTheExchangeWithinItsBound) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "a network namespace of the test's own needs root: not tried here";
    }
    // A folder of the run's own, which no test beside it can share.
    std::string folder = testing::TempDir() + "silent-name-server-XXXXXX";
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    const std::string resolvConf = folder + "/resolv.conf";
    std::ofstream(resolvConf) << "nameserver 127.0.0.1\noptions timeout:30 attempts:1\n";
    // clang-format off
    const std::vector<Row> rows = {
        {"X-Plane", {"--send-to-xplane", "--xplane-url", "http://xplane.example:8086"}, {"BRIMWELL_TEST_XPLANE_BOUND_MS=1000"}, 4, "X-Plane did not answer at http://xplane.example:8086 within 1 second. Check that X-Plane is running and not busy loading, then try again.\n"},
        {"SimBrief", {"--simbrief-user", "jo"}, {"BRIMWELL_SIMBRIEF_URL=http://simbrief.example", "BRIMWELL_TEST_SIMBRIEF_BOUND_MS=1000"}, 2, "brimwell-plan: the latest flight plan of SimBrief user jo was not fetched: SimBrief did not answer within 1 second\n"},
    };
    // clang-format on
    for (const auto& row : rows) {
        std::vector<std::string> arguments = samplePlanOptions();
        arguments.insert(arguments.end(), row.options.begin(), row.options.end());
        const auto run =
            runProgram(BRIMWELL_PLAN_PROGRAM, arguments, row.environment,
                       [&resolvConf] { return withSilentNameServer(resolvConf.c_str()); });
        if (run.status == 125) {
            GTEST_SKIP() << "no network namespace of the test's own can be made here: not tried";
        }
        EXPECT_EQ(run.status, row.status) << row.name << ": " << run.err;
        EXPECT_TRUE(run.err.ends_with(row.err)) << row.name << ": " << run.err;
        EXPECT_LT(run.took, std::chrono::milliseconds(2500)) << row.name;
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace brimwell::test
