// Calculate fed with thousands of random cell texts from a fixed seed: every press ends either in
// a complete plan or in the one failure message, and a plan's cells hold well-formed texts.

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

#include "engine/cell_names.h"
#include "engine/flight_data.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "engine/number_text.h"

namespace brimwell {
namespace {

class TextSource {
  public:
    explicit TextSource(std::uint32_t seed) : m_random(seed) {}

    // A text for a cell: often one a pilot could enter, otherwise anything at all.
    std::string textFor(std::string_view name) {
        if (chance(0.85)) {
            return plausible(name);
        }
        return anything();
    }

    bool chance(double p) { return std::bernoulli_distribution(p)(m_random); }

  private:
    std::size_t below(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_random);
    }
    template <typename List>
    std::string pick(const List& list) {
        return std::string(list[below(list.size())]);
    }
    std::string digits(std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i) {
            text += static_cast<char>('0' + below(10));
        }
        return text;
    }

    std::string plausible(std::string_view name) {
        if (name == cell::cmbAlternateDistance) {
            return pick(kAlternateDistances);
        }
        if (name == cell::cmbWindDirection) {
            return pick(kWindDirections);
        }
        if (name == cell::cmbFlightLevel) {
            return pick(kFlightLevels);
        }
        if (name == cell::cmbMLF) {
            return pick(kMinimumLandingFuels);
        }
        if (name == cell::txtDestinationDistance) {
            return std::to_string(below(8401));
        }
        if (name == cell::txtWindIntensity) {
            return std::to_string(below(300));
        }
        if (name == cell::txtPayLoad) {
            return std::to_string(below(140913));
        }
        if (name == cell::txtContingencyTime) {
            return std::to_string(below(240));
        }
        if (name == cell::txtTFB) {
            return std::to_string(below(10000));
        }
        return digits(below(5));
    }

    std::string anything() {
        static constexpr std::array<std::string_view, 14> kPieces = {
            "", " ", ",", "-", "+", "0", "9", ",5", "e", "FL", "Head", "\xc3\xa9", ":", "."};
        switch (below(5)) {
            case 0:
                return "";
            case 1:
                return digits(1 + below(400));  // up to far beyond the double range
            case 2: {
                std::string text;
                for (std::size_t i = below(8); i > 0; --i) {
                    text += pick(kPieces);
                }
                return text;
            }
            case 3: {
                std::string text;
                for (std::size_t i = below(12); i > 0; --i) {
                    text += static_cast<char>(below(256));
                }
                return text;
            }
            default:
                return (chance(0.5) ? "-" : " ") + digits(1 + below(8)) + (chance(0.5) ? "," : "") +
                       digits(below(4));
        }
    }

    std::mt19937 m_random;
};

// A cell text of a finished plan: a number as the number-text rule writes it, or "h:mm".
void expectWellFormed(std::string_view name, const std::string& text) {
    ASSERT_FALSE(text.empty()) << name;
    EXPECT_EQ(text.find_first_of("eE."), std::string::npos) << name << ": " << text;
    EXPECT_NE(text, "-0") << name;
    if (name == cell::txtETA) {
        const auto colon = text.find(':');
        ASSERT_NE(colon, std::string::npos) << text;
        EXPECT_EQ(text.size() - colon, 3U) << text;
        return;
    }
    EXPECT_EQ(toText(toNumber(text)), text) << name;
}

TEST(FuzzCalculate, EveryPressEndsInAPlanOrTheFailureMessage) {
    TextSource source(20261206);
    MemoryCells cells;
    RecordingSink sink;
    FuelPlanner planner(cells, sink);
    int plans = 0;
    int failures = 0;
    for (int run = 0; run < 5000; ++run) {
        for (const auto name : cell::kInputs) {
            cells.setText(name, source.textFor(name));
        }
        cells.setTicked(cell::CheckCorrection, source.chance(0.5));
        sink.clear();
        const bool planned = planner.cmdCalculate_Click();
        if (planned) {
            ++plans;
            ASSERT_TRUE(sink.messages().empty()) << "run " << run;
            // The payload is copied as typed; every other result is written by the engine.
            EXPECT_EQ(cells.text(cell::txtPayLoadDuplicate), cells.text(cell::txtPayLoad));
            for (const auto name : cell::kResults) {
                if (name != cell::txtPayLoadDuplicate) {
                    expectWellFormed(name, cells.text(name));
                }
            }
        } else {
            ++failures;
            ASSERT_EQ(sink.messages().size(), 1U) << "run " << run;
            ASSERT_EQ(sink.messages().front(), kFailureMessage) << "run " << run;
        }
    }
    // Both ends must have been reached many times, or the texts were not varied enough.
    EXPECT_GT(plans, 500);
    EXPECT_GT(failures, 500);
}

TEST(FuzzCalculate, APressAfterOthersGivesWhatAFreshWindowGives) {
    // Nothing of an earlier press, finished or failed, may leak into the next plan.
    TextSource source(7);
    MemoryCells reused;
    RecordingSink sink;
    FuelPlanner reusedPlanner(reused, sink);
    for (int run = 0; run < 1000; ++run) {
        MemoryCells fresh;
        for (const auto name : cell::kInputs) {
            const std::string text = source.textFor(name);
            fresh.setText(name, text);
            reused.setText(name, text);
        }
        const bool planned = reusedPlanner.cmdCalculate_Click();
        ASSERT_EQ(FuelPlanner(fresh, sink).cmdCalculate_Click(), planned) << "run " << run;
        if (!planned) {
            continue;  // a failure leaves the cells of the earlier plan behind, by design
        }
        for (const auto name : cell::kResults) {
            ASSERT_EQ(reused.text(name), fresh.text(name)) << name << " in run " << run;
            ASSERT_EQ(reused.background(name), fresh.background(name)) << name;
        }
    }
}

}  // namespace
}  // namespace brimwell
