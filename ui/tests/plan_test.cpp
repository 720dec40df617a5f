// A whole plan typed into the window: Calculate fills the schematic with the engine's figures
// and colours, Clear empties the results, Print hands the page to the printer or says why not.

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <span>

#include "engine/cell_names.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "window_driver.h"

using namespace brimwell;
using namespace brimwell::test;

namespace {

QString toQ(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string cellText(const MainWindow& window, std::string_view name) {
    const QByteArray objectName = toQ(name).toLatin1();
    if (QComboBox* box = list(window, objectName.constData())) {
        return box->currentText().toStdString();
    }
    return textBox(window, objectName.constData())->text().toStdString();
}

// The engine run on cells in memory that hold the window's inputs.
MemoryCells engineRunOn(const MainWindow& window, bool ticked) {
    MemoryCells cells;
    for (const auto name : cell::kInputs) {
        cells.setText(name, cellText(window, name));
    }
    cells.setTicked(cell::CheckCorrection, ticked);
    RecordingSink sink;
    FuelPlanner planner(cells, sink);
    planner.cmdCalculate_Click();
    return cells;
}

QColor colourOf(const Background& background, const QWidget& cell) {
    if (background.isWindowBackground()) {
        return paletteBase(cell);
    }
    const Rgb rgb = background.colour();
    return QColor(rgb.red, rgb.green, rgb.blue);
}

}  // namespace

class PlanInTheWindow final : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init() {
        m_window = openWindow();
        m_messages = std::make_unique<MessageBoxWatcher>();
    }
    void cleanup() {
        m_messages.reset();
        m_window.reset();
    }

    void calculateFillsTheSchematicWithTheEngineFigures_data() {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<QString>("contingency");
        QTest::addColumn<bool>("correction");
        QTest::addColumn<QString>("redCell");
        QTest::newRow("sample plan")
            << QStringLiteral("100000") << QStringLiteral("30") << false << QString();
        QTest::newRow("corrected")
            << QStringLiteral("100000") << QStringLiteral("30") << true << QString();
        QTest::newRow("heavy: landing weight over its limit")
            << QStringLiteral("140000") << QStringLiteral("300") << false
            << QStringLiteral("txtPLW");
    }
    void calculateFillsTheSchematicWithTheEngineFigures() {
        QFETCH(QString, payload);
        QFETCH(QString, contingency);
        QFETCH(bool, correction);
        QFETCH(QString, redCell);
        Plan plan = samplePlan();
        plan.payload = payload;
        plan.contingency = contingency;
        plan.correction = correction;
        enterPlan(*m_window, plan);
        click(*m_window, "cmdCalculate");
        QVERIFY(m_messages->shown().empty());

        const MemoryCells expected = engineRunOn(*m_window, correction);
        for (const auto name : cell::kResults) {
            QCOMPARE(toQ(cellText(*m_window, name)), toQ(expected.text(name)));
            const QByteArray objectName = toQ(name).toLatin1();
            QWidget* widget = control(*m_window, objectName.constData());
            QCOMPARE(widget->palette().color(QPalette::Base),
                     colourOf(expected.background(name), *widget));
        }
        if (!correction && payload == QStringLiteral("100000")) {
            QCOMPARE(toQ(cellText(*m_window, cell::txtZFW)), QStringLiteral("494088"));
            QCOMPARE(toQ(cellText(*m_window, cell::txtFPF)), QStringLiteral("188400"));
            QCOMPARE(toQ(cellText(*m_window, cell::txtETA)), QStringLiteral("9:07"));
        }
        if (!redCell.isEmpty()) {
            const QByteArray objectName = redCell.toLatin1();
            QCOMPARE(control(*m_window, objectName.constData())->palette().color(QPalette::Base),
                     QColor(255, 0, 0));
        }
    }

    void incompletePlanShowsTheFailureMessage() {
        Plan plan = samplePlan();
        plan.flightLevel.clear();
        enterPlan(*m_window, plan);
        click(*m_window, "cmdCalculate");
        QTRY_COMPARE(m_messages->texts(),
                     QStringList{QStringLiteral("Please enter all Flight Data or check limits")});
        QCOMPARE(m_messages->shown().front().title, QStringLiteral("Brimwell v2.0"));
    }

    void clearEmptiesTheResultsAndKeepsTheInputs() {
        Plan plan = samplePlan();
        plan.payload = QStringLiteral("140000");
        plan.contingency = QStringLiteral("300");
        enterPlan(*m_window, plan);
        click(*m_window, "cmdCalculate");
        const WindowState calculated = captureState(*m_window);
        QCOMPARE(calculated.texts.at(QStringLiteral("txtPLW")), QStringLiteral("654921"));
        QTest::keyClick(focusedControl(), Qt::Key_L, Qt::AltModifier);
        const WindowState cleared = captureState(*m_window);
        for (const auto name : cell::kResults) {
            const QByteArray objectName = toQ(name).toLatin1();
            QWidget* widget = control(*m_window, objectName.constData());
            QCOMPARE(cleared.texts.at(toQ(name)), QString());
            QCOMPARE(cleared.bases.at(toQ(name)), paletteBase(*widget));
        }
        for (const auto name : cell::kInputs) {
            QCOMPARE(cleared.texts.at(toQ(name)), calculated.texts.at(toQ(name)));
            QCOMPARE(cleared.bases.at(toQ(name)), calculated.bases.at(toQ(name)));
        }
        for (const auto name : {cell::txtBOW, cell::cmbMLF, cell::txtTFB}) {
            QCOMPARE(cleared.texts.at(toQ(name)), calculated.texts.at(toQ(name)));
            QCOMPARE(cleared.bases.at(toQ(name)), calculated.bases.at(toQ(name)));
        }
        QVERIFY(m_messages->shown().empty());
    }

    void printHandsThePageToThePrinter() {
        enterPlan(*m_window, samplePlan());
        click(*m_window, "cmdCalculate");
        QStringList operations;
        m_window->setPrinterFactory(
            [&operations] { return std::make_unique<RecordingPrinter>(operations); });
        const WindowState before = captureState(*m_window);
        click(*m_window, "cmbPrint");
        QVERIFY(m_messages->shown().empty());
        QCOMPARE(operations.count(QStringLiteral("end")), 1);
        QCOMPARE(operations.last(), QStringLiteral("end"));
        QVERIFY(operations.contains(QStringLiteral("line (=) Zero Fuel Weight: 494088 lbs")));
        QCOMPARE(captureState(*m_window), before);
    }

    void aPrinterFailureShowsOneMessageAndChangesNothing() {
        enterPlan(*m_window, samplePlan());
        click(*m_window, "cmdCalculate");
        QStringList operations;
        m_window->setPrinterFactory(
            [&operations] { return std::make_unique<RecordingPrinter>(operations, 10); });
        const WindowState before = captureState(*m_window);
        click(*m_window, "cmbPrint");
        QTRY_COMPARE(m_messages->shown().size(), std::size_t{1});
        QCOMPARE(m_messages->shown().front().title, QStringLiteral("Brimwell v2.0"));
        QCOMPARE(m_messages->shown().front().icon, QMessageBox::Warning);
        QVERIFY(!operations.contains(QStringLiteral("end")));
        QCOMPARE(captureState(*m_window), before);
    }

    // A screen reader can walk the schematic: every cell says which row it is, every button
    // what it does.
    void cellsAndButtonsSayWhatTheyAre() {
        QCOMPARE(control(*m_window, "txtZFW")->accessibleName(),
                 QStringLiteral("Zero Fuel Weight"));
        for (const auto& names : {std::span<const std::string_view>(cell::kInputs),
                                  std::span<const std::string_view>(cell::kResults)}) {
            for (const auto name : names) {
                const QByteArray objectName = toQ(name).toLatin1();
                QVERIFY2(!control(*m_window, objectName.constData())->accessibleName().isEmpty(),
                         objectName.constData());
            }
        }
        for (const char* button : {"cmdCalculate", "cmbPrint", "Command1", "Uscita"}) {
            QVERIFY2(!control(*m_window, button)->accessibleDescription().isEmpty(), button);
        }
    }

  private:
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<MessageBoxWatcher> m_messages;
};

QTEST_MAIN(PlanInTheWindow)
#include "plan_test.moc"
