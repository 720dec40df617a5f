#include "tests/support/plan.h"

#include <algorithm>

#include "engine/cell_names.h"
#include "engine/number_text.h"

namespace brimwell::test {

// clang-format off
CellTexts samplePlan() {
    return {{cell::txtOriginICAO, "LIRF"}, {cell::txtDestinationICAO, "KJFK"},
            {cell::txtDestinationDistance, "4000"}, {cell::txtAlternateICAO, "KBOS"},
            {cell::cmbAlternateDistance, "200"}, {cell::cmbWindDirection, "Head"},
            {cell::txtWindIntensity, "50"}, {cell::cmbFlightLevel, "FL350"},
            {cell::txtPayLoad, "100000"}, {cell::txtContingencyTime, "30"},
            {cell::cmbMLF, "19000"}, {cell::txtTFB, "2000"}};
}

CellTexts sampleResults() {
    return {{cell::txtPayLoadDuplicate, "100000"}, {cell::txtZFW, "494088"},
            {cell::txtZFWDuplicate, "494088"}, {cell::txtAF, "11352"}, {cell::txtCF, "9000"},
            {cell::txtPLW, "533440"}, {cell::txtPLWDuplicate, "533440"},
            {cell::txtFPF, "188400"}, {cell::txtGTW, "721840"}, {cell::txtGTWDuplicate, "721840"},
            {cell::txtTW, "723840"}, {cell::txtETA, "9:07"}, {cell::txtFL, "229752"},
            {cell::txtICA, "33000"}, {cell::txtDistWinCorr, "4412"}};
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

void enter(Cells& cells, const CellTexts& texts) {
    for (const auto& [name, text] : texts) {
        cells.setText(name, text);
    }
}

void RecordingPrinter::record(std::string operation) {
    if (m_failAt != 0 && operations->size() + 1 == m_failAt) {
        throw PrintError("the printer ran out of paper");
    }
    operations->push_back(std::move(operation));
}

void RecordingPrinter::setFontName(std::string_view name) {
    record("font " + std::string(name));
}
void RecordingPrinter::setFontSize(double points) {
    record("size " + toText(points));
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
