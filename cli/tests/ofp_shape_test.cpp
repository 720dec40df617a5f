// brimwell-plan --ofp of flight plans nearly as large as it reads, of every shape that costs a
// reader memory, in both forms: the exit status, the one line of the error stream and the most
// memory the planner held.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/flight_plan_file.h"
#include "tests/support/program_run.h"

namespace brimwell::test {
namespace {

std::string times(std::size_t count, const std::string& text) {
    std::string repeated;
    for (std::size_t i = 0; i < count; ++i) {
        repeated += text;
    }
    return repeated;
}

struct Row {
    const char* name;
    bool json;
    std::string open, unit, close, end;  // weights/pad: open, the unit and its close, end
    std::size_t count;                   // of the unit; 0: as many as 31 MiB hold
    std::string why;                     // "" for a plan read
};

const std::string kParts =
    "it holds more than 500000 elements, attributes and texts, far more than any flight plan";
const std::string kValues = "it holds more than 500000 values, far more than any flight plan";
const std::string kLong = "it holds a text longer than 4 MiB, longer than any of a flight plan";
const std::string kFix = "{" + times(39, R"("f":"1",)") + R"("f":"1"},)";

// clang-format off
const std::vector<Row> kRows = {
    {"empty elements", false, "", "<a/>", "", "", 0, kParts},
    {"texts among comments", false, "", "<a>" + times(64, "x<!---->") + "</a>", "", "", 0, kParts},
    {"attributes", false, "", "<a" + times(64, R"( b="")") + "/>", "", "", 0, kParts},
    {"deep", false, "", "<a>", "</a>", "", 0, kParts},
    {"a long text", false, "", "x", "", "", 0, ""},
    {"navigation log", false, "", "<fix>" + times(40, "<f>1</f>") + "</fix>", "", "", 2500, ""},
    {"values", true, "[", "0,", "", "0]", 0, kValues},
    {"members", true, "{", R"("b":0,)", "", R"("b":0})", 0, kValues},
    {"numbers no double holds", true, "[", "1e999,", "", "1]", 0, kValues},
    {"deep", true, "", "[", "]", "", 0, kValues},
    {"a long text", true, R"(")", "x", "", R"(")", 0, kLong},
    {"a text of 4 MiB", true, R"(")", "x", "", R"(")", std::size_t{4} << 20U, ""},
    {"navigation log", true, "[", kFix, "", "{}]", 2500, ""},
};
// clang-format on

// Every row of the form, each plan of 31 MiB read by the planner.
void readsOrRefusesEveryShape(bool json) {
    std::string folder = (std::filesystem::temp_directory_path() / "ofp-shapes-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    const auto path = folder + "/plan";
    const auto refusal = "brimwell-plan: " + path + " is not a SimBrief flight plan (OFP): ";
    for (const auto& row : kRows) {
        if (row.json != json) {
            continue;
        }
        std::string text = ofpText({.json = row.json, .fields = {{"weights/pad", "PAD"}}});
        const std::string marker = row.json ? R"("PAD")" : "PAD";
        const auto room = (std::size_t{31} << 20U) - text.size() - row.open.size() - row.end.size();
        const auto count = row.count > 0 ? row.count : room / (row.unit.size() + row.close.size());
        text.replace(text.find(marker), marker.size(),
                     row.open + times(count, row.unit) + times(count, row.close) + row.end);
        std::ofstream(path) << text;
        const auto run = runProgram(
            planProgram(), {"--ofp", path, "--contingency", "30", "--min-landing-fuel", "19000"});
        EXPECT_EQ(run.status, row.why.empty() ? 0 : 2) << row.name << row.json;
        EXPECT_EQ(run.err, row.why.empty() ? "" : refusal + row.why + "\n") << row.name;
        EXPECT_LT(run.peakKilobytes, kMostKilobytes) << row.name << row.json;
    }
    std::filesystem::remove_all(folder);
}

// Apart, so that the two forms run side by side.
TEST(PlannerOfpShapes, ReadsOrRefusesEveryXmlShapeWithinItsMemory) {
    readsOrRefusesEveryShape(false);
}

TEST(PlannerOfpShapes, ReadsOrRefusesEveryJsonShapeWithinItsMemory) {
    readsOrRefusesEveryShape(true);
}

}  // namespace
}  // namespace brimwell::test
