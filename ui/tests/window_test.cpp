// The window as a pilot meets it: the key filter of the digit cells, the limit checks when a
// cell is left, Calculate and Clear, Print, Exit, the tab order and the message box itself.

#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <stdexcept>

#include "engine/cell_names.h"
#include "report/print_command.h"
#include "tests/support/window_driver.h"
#include "ui/control_names.h"
#include "ui/window_cells.h"

using namespace brimwell;
using namespace brimwell::engine;
using namespace brimwell::test;
using brimwell::ui::MainWindow;
using namespace Qt::StringLiterals;

namespace {
const QString kFailure = u"Please enter all Flight Data or check limits"_s;
const QStringList kNone;
}  // namespace

class WindowTest final : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> m_window;
    RecordingPrinter m_printer;

  private Q_SLOTS:
    void init() {
        warnings().clear();
        m_window = openWindow();
        m_printer.operations->clear();
        m_window->setPrinterFactory(
            [this] { return std::make_unique<RecordingPrinter>(m_printer); });
    }

    // The blue inputs empty but for the taxi fuel, the yellow empty weight, the tick box clear.
    void aFreshWindow() {
        for (const QString& state :
             {u"txtDestinationDistance  #80ffff #000000"_s, u"cmbMLF  #80ffff #000000"_s,
              u"txtTFB 2000 #80ffff #000000"_s, u"txtBOW 394088 #ffff00 #000000"_s,
              u"CheckCorrection not ticked"_s}) {
            QVERIFY2(cellStates(*m_window).contains(state), qPrintable(state));
        }
        for (const char* picture : {"Picture1", "Picture2"}) {
            QVERIFY(!qobject_cast<QLabel*>(control(*m_window, picture))->pixmap().isNull());
        }
        QCOMPARE(control(*m_window, ui::control::Uscita)->accessibleDescription(),
                 u"Ends the program"_s);
    }

    // Keys typed at the end of a cell's text (see typeKeys), and the text the cell then holds.
    void keyFilter_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        addRow("txtDestinationDistance", "12a.5-", "125");
        addRow("txtWindIntensity", " ,+Z9/0:", "90");
        addRow("txtPayLoad", "1٣１é一2", "12");
        addRow("txtWindIntensity", "{4x2}", "42");
        addRow("txtContingencyTime", "45⌫6", "46");
        addRow("txtTFB", "^a⌦", "");
        addRow("txtPayLoad", "12^a^c^v^v", "1212");
        addRow("txtTFB", "^a^x5^v", "52000");  // the cell starts with 2000
        addRow("txtOriginICAO", "k.-1Z", "k.-1Z");
        QTest::newRow("a line break, a direction override, an escape")
            << u"txtOriginICAO"_s << u"KJ{F\nK}{\u202eF}{\x1b[2J}K"_s << u"KJK"_s;
        addRow("txtBOW", "7^a⌫", "394088");  // locked: it takes no key
    }
    void keyFilter() {
        QFETCH(QString, cell);
        QFETCH(QString, keys);
        typeInto(*m_window, cell, keys);
        QTEST(text(*m_window, cell), "text");
        QCOMPARE(warnings(), kNone);
    }

    // A value pasted over the sample plan's after a Calculate, how the cell is left, and where
    // the focus is then: in the cell when its value is refused, and the button clicked or
    // pressed by its access key does nothing.
    void leavingACheckedCell_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("leave");
        QTest::addColumn<QString>("focus");
        addRow("txtDestinationDistance", "8400", "Tab", "txtAlternateICAO");
        addRow("txtDestinationDistance", "8401", "Tab", "txtDestinationDistance");
        addRow("txtDestinationDistance", "9000", "Shift+Tab", "txtDestinationDistance");
        addRow("txtDestinationDistance", "", "Shift+Tab", "txtDestinationICAO");
        addRow("txtDestinationDistance", "1e3", "cmdCalculate", "txtDestinationDistance");
        addRow("txtDestinationDistance", "9000", "Alt+P", "txtDestinationDistance");
        addRow("txtWindIntensity", "1000", "txtOriginICAO", "txtOriginICAO");
        addRow("txtWindIntensity", "1001", "Alt+L", "txtWindIntensity");
        addRow("txtWindIntensity", "-5", "CheckCorrection", "txtWindIntensity");
        addRow("txtPayLoad", "140912", "Alt+L", "Command1");
        addRow("txtPayLoad", "140913", "Alt+E", "txtPayLoad");
        addRow("txtPayLoad", "140913", "Uscita", "txtPayLoad");
        addRow("txtPayLoad", "150000", "cmbFlightLevel", "txtPayLoad");
        addRow("txtPayLoad", "99999", "txtBOW", "txtBOW");
        QTest::newRow("400 digits") << u"txtPayLoad"_s << QString(400, u'9') << u"Tab"_s
                                    << u"txtPayLoad"_s;  // beyond the range of a double
    }
    void leavingACheckedCell() {
        QFETCH(QString, cell);
        QFETCH(QString, value);
        QFETCH(QString, leave);
        QFETCH(QString, focus);
        enterPlan(*m_window, samplePlan());
        click(*m_window, ui::control::cmdCalculate);
        paste(*m_window, cell, value);
        const QStringList before = cellStates(*m_window);
        press(*m_window, leave);
        const bool refused = focus == cell;
        // Each limited cell's warning, typos and all.
        const QHash<QString, QString> warning = {
            {u"txtDestinationDistance"_s, u"Distance: please enter a value lower then 8400"_s},
            {u"txtWindIntensity"_s, u"Wind: hey, don't you think it's too strong?"_s},
            {u"txtPayLoad"_s, u"Payload: please enter a value lower then 140.912"_s}};
        QCOMPARE(warnings(), refused ? QStringList{warning.value(cell)} : kNone);
        QCOMPARE(focusName(*m_window), focus);
        QCOMPARE(text(*m_window, cell), value);
        if (refused) {
            QCOMPARE(cellStates(*m_window), before);
            QVERIFY(m_printer.operations->empty() && m_window->isVisible());
            paste(*m_window, cell, u"1"_s);
            press(*m_window, leave);
            QVERIFY(focusName(*m_window) != cell);
            QCOMPARE(warnings().size(), 1);
        }
    }

    // Calculate pressed as given; then Clear gives every cell back what it showed before.
    void calculateThenClear_data() {
        QTest::addColumn<CellTexts>("plan");
        QTest::addColumn<QString>("press");
        QTest::addColumn<CellTexts>("results");
        QTest::addColumn<QStringList>("red");  // the cell states (see cellStates) in red
        QTest::addColumn<QStringList>("warnings");
        const CellTexts plan = samplePlan();
        const CellTexts figures = sampleResults();
        const CellTexts heavy =
            with(plan, {{cell::txtPayLoad, "140000"}, {cell::txtContingencyTime, "300"}});
        const CellTexts noLevel = with(plan, {{cell::cmbFlightLevel, ""}});
        const QString calculate = u"cmdCalculate"_s;
        const QStringList plw{u"txtPLW 654921 #ff0000 #000000"_s};
        const QStringList failure{kFailure};
        QTest::newRow("sample") << plan << u"txtZFW Alt+C"_s << figures << kNone << kNone;
        QTest::newRow("heavy") << heavy << calculate << CellTexts{} << plw << kNone;
        QTest::newRow("no level") << noLevel << calculate << CellTexts{} << kNone << failure;
        // The trip time at the minute boundaries.
        for (const auto& [distance, tripTime] :
             {std::pair{"448", "1:09"}, {"457", "1:10"}, {"883", "1:59"}, {"886", "2:00"}}) {
            QTest::addRow("trip time %s", tripTime)
                << with(plan, {{cell::txtDestinationDistance, distance},
                               {cell::cmbWindDirection, "NoWind"}})
                << calculate << CellTexts{{cell::txtETA, tripTime}} << kNone << kNone;
        }
    }
    void calculateThenClear() {
        QFETCH(CellTexts, plan);
        QFETCH(CellTexts, results);
        enterPlan(*m_window, plan);
        const QStringList before = cellStates(*m_window);
        QFETCH(QString, press);
        brimwell::test::press(*m_window, press);
        QTEST(warnings(), "warnings");
        for (const auto& [name, expected] : results) {
            QCOMPARE(text(*m_window, name), toQ(expected));
        }
        QTEST(cellStates(*m_window).filter(u" #ff0000 "_s), "red");
        brimwell::test::press(*m_window, u"Alt+L"_s);
        QCOMPARE(cellStates(*m_window), before);
    }

    // The printer fails at its operation failAt (from 1); -1: there is no printer at all, -2:
    // opening it fails with an error of its own.
    void print_data() {
        QTest::addColumn<int>("failAt");
        QTest::addColumn<QString>("reason");
        QTest::newRow("printed") << 0 << QString();
        QTest::newRow("printer fails") << 10 << u"the printer ran out of paper"_s;
        QTest::newRow("no printer") << -1 << u"there is no printer"_s;
        QTest::newRow("printer unusable") << -2 << u"the spooler is gone"_s;
    }
    void print() {
        QFETCH(int, failAt);
        QFETCH(QString, reason);
        RecordingPrinter printer(static_cast<std::size_t>(std::max(failAt, 0)));
        m_window->setPrinterFactory([&printer, failAt]() -> std::unique_ptr<report::Printer> {
            if (failAt == -2) {
                throw std::runtime_error("the spooler is gone");
            }
            return failAt == -1 ? nullptr : std::make_unique<RecordingPrinter>(printer);
        });
        enterPlan(*m_window, samplePlan());
        click(*m_window, ui::control::cmdCalculate);
        const QStringList before = cellStates(*m_window);
        press(*m_window, u"Alt+P"_s);  // the menu bar leaves it to the button
        const QString message = u"The report was not printed: "_s + reason;
        QCOMPARE(warnings(), reason.isEmpty() ? kNone : QStringList{message});
        QCOMPARE(cellStates(*m_window), before);
        if (failAt == 0) {
            RecordingPrinter report;
            printReport(ui::WindowCells(*m_window), report);
            QCOMPARE(toQ(*printer.operations), toQ(*report.operations));
            QVERIFY(toQ(*report.operations).contains(u"line (=) Zero Fuel Weight: 494088 lbs"_s));
        }
    }

    void exitClosesTheWindow() {
        enterPlan(*m_window, samplePlan());
        press(*m_window, u"txtPayLoadDuplicate Alt+E"_s);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(warnings(), kNone);
    }

    void tabVisitsTheControlsInOrder() {
        const QStringList order =
            u"txtOriginICAO txtDestinationICAO txtDestinationDistance txtAlternateICAO "
            "cmbAlternateDistance cmbWindDirection txtWindIntensity cmbFlightLevel txtPayLoad "
            "txtContingencyTime txtDistWinCorr cmdCalculate Command1 Uscita txtBOW "
            "txtPayLoadDuplicate txtZFW txtZFWDuplicate cmbMLF txtAF txtCF txtPLW txtPLWDuplicate "
            "txtFPF txtGTW txtGTWDuplicate txtTFB txtTW txtFL txtETA txtICA CheckCorrection "
            "Picture1 Picture2 cmbPrint txtOriginICAO"_s.split(u' ');
        QStringList visited{focusName(*m_window)};
        while (visited.size() < order.size()) {
            press(*m_window, u"Tab"_s);
            visited.append(focusName(*m_window));
        }
        QCOMPARE(visited, order);
    }

    // The one test that lets the program show its own box; a timer answers it.
    void theWarningIsABoxWithOneOkButton() {
        ui::setWarningHandler({});
        QStringList shown;
        QTimer::singleShot(0, m_window.get(), [&shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            shown << box->windowTitle() << box->text() << QString::number(box->icon())
                  << QString::number(box->buttons().size());
            box->button(QMessageBox::Ok)->click();
        });
        click(*m_window, ui::control::cmdCalculate);
        const QString warningIcon = QString::number(QMessageBox::Warning);
        QCOMPARE(shown, (QStringList{u"Brimwell v2.0"_s, kFailure, warningIcon, u"1"_s}));
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
