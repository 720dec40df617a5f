#include "tests/support/plan.h"

#include <algorithm>

#include "engine/cell_names.h"
#include "engine/number_text.h"

namespace brimwell::test {

// clang-format off
CellTexts samplePlan() {
    return {{engine::cell::txtOriginICAO, "LIRF"}, {engine::cell::txtDestinationICAO, "KJFK"},
            {engine::cell::txtDestinationDistance, "4000"}, {engine::cell::txtAlternateICAO, "KBOS"},
            {engine::cell::cmbAlternateDistance, "200"}, {engine::cell::cmbWindDirection, "Head"},
            {engine::cell::txtWindIntensity, "50"}, {engine::cell::cmbFlightLevel, "FL350"},
            {engine::cell::txtPayLoad, "100000"}, {engine::cell::txtContingencyTime, "30"},
            {engine::cell::cmbMLF, "19000"}, {engine::cell::txtTFB, "2000"}};
}

CellTexts sampleResults() {
    return {{engine::cell::txtPayLoadDuplicate, "100000"}, {engine::cell::txtZFW, "494088"},
            {engine::cell::txtZFWDuplicate, "494088"}, {engine::cell::txtAF, "11352"}, {engine::cell::txtCF, "9000"},
            {engine::cell::txtPLW, "533440"}, {engine::cell::txtPLWDuplicate, "533440"},
            {engine::cell::txtFPF, "188400"}, {engine::cell::txtGTW, "721840"}, {engine::cell::txtGTWDuplicate, "721840"},
            {engine::cell::txtTW, "723840"}, {engine::cell::txtETA, "9:07"}, {engine::cell::txtFL, "229752"},
            {engine::cell::txtICA, "33000"}, {engine::cell::txtDistWinCorr, "4412"}};
}
// clang-format on

CellTexts with(CellTexts texts, const CellTexts& changes) {
    for (const auto& [name, text] : changes) {
        const auto found = std::find_if(texts.begin(), texts.end(),
                                        [name = name](const auto& t) { return t.first == name; });
        if (found == texts.end()) {
            texts.emplace_back(name, text);
        } else {
            found->second = text;
        }
    }
    return texts;
}

void enter(engine::Cells& cells, const CellTexts& texts) {
    for (const auto& [name, text] : texts) {
        cells.setText(name, text);
    }
}

void RecordingPrinter::record(std::string operation) {
    if (m_failAt != 0 && operations->size() + 1 == m_failAt) {
        throw report::PrintError("the printer ran out of paper");
    }
    operations->push_back(std::move(operation));
}

void RecordingPrinter::setFontName(std::string_view name) {
    record("font " + std::string(name));
}
void RecordingPrinter::setFontSize(double points) {
    record("size " + engine::toText(points));
}
void RecordingPrinter::setCurrentX(int twips) {
    record("x " + std::to_string(twips));
}
void RecordingPrinter::setCurrentY(int twips) {
    record("y " + std::to_string(twips));
}
void RecordingPrinter::setBold(bool bold) {
    record(bold ? "bold on" : "bold off");
}
void RecordingPrinter::printLine(std::string_view text) {
    record("line " + std::string(text));
}
void RecordingPrinter::endDoc() {
    record("end");
}

}  // namespace brimwell::test
