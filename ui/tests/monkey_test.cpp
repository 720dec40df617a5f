// Random keys, pastes, picks, clicks and access keys on the real window, from a fixed seed.
// After every press of Calculate the window shows what the engine shows when it runs on cells
// in memory that held the window's cells just before the press: the same results, colours and
// messages; unless the cell that holds the focus refuses its value, which then shows its warning
// and nothing else happens. Print hands the printer the report of the cells as they were.

#include <QComboBox>
#include <QScopeGuard>
#include <array>
#include <random>

#include "engine/cell_names.h"
#include "engine/flight_data.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "report/print_command.h"
#include "tests/support/window_driver.h"
#include "ui/window_cells.h"

using namespace brimwell;
using namespace brimwell::test;
using namespace Qt::StringLiterals;

namespace {

const QStringList kKeys = u"0 1 5 a . - ⌫ ⌦ ^a ^c ^v ^x Tab Shift+Tab"_s.split(u' ');
const QStringList kTextBoxes =
    u"txtOriginICAO txtDestinationDistance txtWindIntensity "
    "txtPayLoad txtContingencyTime txtTFB"_s.split(u' ');
const QStringList kLists =
    u"cmbAlternateDistance cmbWindDirection cmbFlightLevel cmbMLF"_s.split(u' ');
const QStringList kClicks = kTextBoxes +
                            u"txtBOW txtZFW CheckCorrection Picture1 Command1 "
                            "cmbPrint Uscita Alt+L Alt+P Alt+E"_s.split(u' ');

// The window's cells in memory, and those the engine sees, as texts that tell them apart.
MemoryCells cellsOf(MainWindow& window) {
    const ui::WindowCells shown(window);
    MemoryCells cells;
    for (const auto name : cell::kInputs) {
        cells.setText(name, shown.text(name));
    }
    for (const auto name : cell::kResults) {
        cells.setText(name, shown.text(name));
        cells.setBackground(name, shown.background(name));
    }
    cells.setTicked(cell::CheckCorrection, shown.isTicked(cell::CheckCorrection));
    return cells;
}
QStringList results(const MemoryCells& cells) {
    QStringList texts;
    for (const auto name : cell::kResults) {
        const Background back = cells.background(name);
        texts.append(toQ(name) + u'=' + toQ(cells.text(name)) +
                     (back.isWindowBackground() ? QString() : u" red %1"_s.arg(back.colour().red)));
    }
    return texts;
}

}  // namespace

class MonkeyTest final : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void randomStepsKeepTheWindowAndTheEngineInStep() {
        std::mt19937 random(20261207);  // NOLINT(cert-msc51-cpp): the same steps every run
        const auto any = [&random](const QStringList& list) {
            return list.at(std::uniform_int_distribution<qsizetype>(0, list.size() - 1)(random));
        };
        RecordingPrinter printer;
        std::unique_ptr<MainWindow> window;
        QStringList steps;
        const auto trail = qScopeGuard([&steps] {
            if (QTest::currentTestFailed()) {
                qInfo("the last steps: %s", qPrintable(steps.mid(steps.size() - 12).join(u" | ")));
            }
        });
        for (int step = 0; step < 1000; ++step) {
            if (window == nullptr || !window->isVisible()) {  // at the start, and after Exit
                window = openWindow();
                window->setPrinterFactory(
                    [&printer] { return std::make_unique<RecordingPrinter>(printer); });
                enterPlan(*window, samplePlan());
            }
            const MemoryCells before = cellsOf(*window);
            const QString focus = focusName(*window);
            const auto limit = fieldLimit(focus.toStdString());
            const bool refused = limit && isRefused(*limit, text(*window, focus).toStdString());
            warnings().clear();
            printer.operations->clear();
            QString action = any(kKeys);
            switch (random() % 5) {
                case 0:
                    action.size() > 2 ? press(*window, action) : typeKeys(*window, action);
                    break;
                case 1: {
                    const QString box = any(kTextBoxes);
                    const auto top = std::array{10U, 1000U, 9000U, 150000U}[random() % 4];
                    action = QString::number(random() % top) + any({{}, {}, u"x"_s});
                    paste(*window, box, action);
                    action.prepend(box + u" pasted "_s);
                    break;
                }
                case 2: {
                    action = any(kLists);
                    auto* list = qobject_cast<QComboBox*>(control(*window, action));
                    pick(*window, action,
                         list->itemText(static_cast<int>(random() % list->count())));
                    break;
                }
                case 3:
                    press(*window, action = any(kClicks));
                    break;
                default:
                    press(*window, action = any({u"cmdCalculate"_s, u"Alt+C"_s}));
            }
            steps.append(action);
            const bool calculated = action == u"cmdCalculate" || action == u"Alt+C";
            const bool printed = action == u"cmbPrint" || action == u"Alt+P";
            if (refused && (calculated || printed)) {
                QCOMPARE(warnings(), QStringList{toQ(limit->warning)});
                QCOMPARE(results(cellsOf(*window)), results(before));
                QVERIFY(printer.operations->empty());
            } else if (calculated) {
                MemoryCells expected = before;
                test::RecordingSink sink;
                FuelPlanner(expected, sink).cmdCalculate_Click();
                QCOMPARE(warnings(), toQ(sink.messages));
                QCOMPARE(results(cellsOf(*window)), results(expected));
            } else if (printed) {
                RecordingPrinter report;
                cmbPrint_Click(before, report);
                QCOMPARE(toQ(*printer.operations), toQ(*report.operations));
            }
        }
    }
};

QTEST_MAIN(MonkeyTest)
#include "monkey_test.moc"
