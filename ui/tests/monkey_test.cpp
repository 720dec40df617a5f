// Random keys, pastes, picks, clicks and access keys on the real window, from a fixed seed.
// After every press of Calculate the window shows what the engine shows on cells in memory that
// held the window's cells just before: the same results, colours and messages; unless the cell
// with the focus refuses its value, whose warning is then all that happens.

#include <QComboBox>
#include <array>
#include <random>

#include "engine/cell_limits.h"
#include "engine/cell_names.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "tests/support/window_driver.h"
#include "ui/window_cells.h"

using namespace brimwell;
using namespace brimwell::engine;
using namespace brimwell::test;
using brimwell::ui::MainWindow;
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

// The fifteen results, each with its colour where it has one of its own.
template <typename Cells>
QStringList results(const Cells& cells) {
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
        for (int step = 0; step < 1000; ++step) {
            if (window == nullptr || !window->isVisible()) {  // at the start, and after Exit
                window = openWindow();
                window->setPrinterFactory(
                    [&printer] { return std::make_unique<RecordingPrinter>(printer); });
                enterPlan(*window, samplePlan());
            }
            const ui::WindowCells shown(*window);
            MemoryCells expected;
            for (const auto name : cell::kInputs) {
                expected.setText(name, shown.text(name));
            }
            for (const auto name : cell::kResults) {
                expected.setText(name, shown.text(name));
                expected.setBackground(name, shown.background(name));
            }
            expected.setTicked(cell::CheckCorrection, shown.isTicked(cell::CheckCorrection));
            const QString focus = focusName(*window);
            const auto limit = fieldLimit(focus.toStdString());
            const bool refused = limit && isRefused(*limit, text(*window, focus).toStdString());
            warnings().clear();
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
                         list->itemText(static_cast<int>(random() % 12) % list->count()));
                    break;
                }
                case 3:
                    press(*window, action = any(kClicks));
                    break;
                default:
                    press(*window, action = any({u"cmdCalculate"_s, u"Alt+C"_s}));
                    if (refused) {
                        QCOMPARE(warnings(), QStringList{toQ(limit->warning)});
                    } else {
                        test::RecordingSink sink;
                        FuelPlanner(expected, sink).calculate();
                        QCOMPARE(warnings(), toQ(sink.messages));
                    }
                    QCOMPARE(results(shown), results(expected));
            }
        }
    }
};

QTEST_MAIN(MonkeyTest)
#include "monkey_test.moc"
