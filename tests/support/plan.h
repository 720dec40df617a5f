#pragma once

// What the tests of every layer share: the sample flight, a message sink and a printer that
// write down what they are asked to do.

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/cells.h"
#include "report/printer.h"

namespace brimwell::test {

// Cell name and text, in the order a pilot fills them in.
using CellTexts = std::vector<std::pair<std::string_view, std::string>>;

// 4000 nm against 50 kt of head wind at FL350, 200 nm to the alternate, 100000 lbs of payload,
// 30 minutes of contingency, 19000 lbs at landing, 2000 lbs of taxi fuel. The same flight as
// options of brimwell-plan is in sample-plan.args, for the tests that run the planner.
CellTexts samplePlan();
// The fifteen results of the sample plan.
CellTexts sampleResults();
// The texts with the changed cells replaced (or added).
CellTexts with(CellTexts texts, const CellTexts& changes);

void enter(engine::Cells& cells, const CellTexts& texts);

class RecordingSink final : public engine::MessageSink {
  public:
    void showMessage(std::string_view text) override { messages.emplace_back(text); }
    std::vector<std::string> messages;
};

// Writes down every operation as one text: "font Arial", "size 16", "x 100", "y 200",
// "bold on", "line <text>", "end". Throws PrintError at the operation numbered failAt (from 1).
// A copy writes into the same list, so a window can be handed copies of one printer.
class RecordingPrinter final : public report::Printer {
  public:
    explicit RecordingPrinter(std::size_t failAt = 0) : m_failAt(failAt) {}
    void setFontName(std::string_view name) override;
    void setFontSize(double points) override;
    void setCurrentX(int twips) override;
    void setCurrentY(int twips) override;
    void setBold(bool bold) override;
    void printLine(std::string_view text) override;
    void endDoc() override;

    std::shared_ptr<std::vector<std::string>> operations =
        std::make_shared<std::vector<std::string>>();

  private:
    void record(std::string operation);
    std::size_t m_failAt;
};

}  // namespace brimwell::test
