// The window in kilograms: a plan in kilograms is the plan in pounds of the same weights, the
// unit switched back and forth loses nothing, the payload's limit in kilograms, and no text of
// the window names pounds while it shows kilograms.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>

#include "engine/cell_names.h"
#include "tests/support/window_driver.h"

using namespace brimwell;
using namespace brimwell::test;
using namespace Qt::StringLiterals;

namespace {

const QStringList kNone;

// Every text of the window but the cells' own: captions, list items, tooltips, accessible names.
QStringList windowTexts(const QWidget& window) {
    QStringList texts;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        texts << widget->toolTip() << widget->accessibleName();
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            texts << label->text();
        } else if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) {
            texts << frame->title();
        } else if (const auto* list = qobject_cast<const QComboBox*>(widget)) {
            for (int i = 0; i < list->count(); ++i) {
                texts << list->itemText(i);
            }
        }
    }
    return texts;
}

}  // namespace

class UnitsTest final : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> m_window;

  private Q_SLOTS:
    void init() {
        warnings().clear();
        m_window = openWindow();
    }

    // A plan typed and calculated in kilograms, then shown in pounds, is the window of the same
    // plan typed in pounds (138891 lbs, 24000 lbs, 2205 lbs), every cell with its text and
    // colours, the landing weight red; shown in kilograms again, it is what it was.
    void aPlanInKilogramsIsThePlanInPounds() {
        const CellTexts plan = with(samplePlan(), {{cell::txtContingencyTime, "300"}});
        const auto inPounds = openWindow();
        enterPlan(*inPounds, with(plan, {{cell::txtPayLoad, "138891"},
                                         {cell::cmbMLF, "24000"},
                                         {cell::txtTFB, "2205"}}));
        click(*inPounds, "cmdCalculate");
        QCOMPARE(cellStates(*inPounds).filter(u"#ff0000"_s).size(), 1);

        m_window->setUnit(Unit::Kilograms);
        enterPlan(*m_window, with(plan, {{cell::txtPayLoad, "63000"},
                                         {cell::cmbMLF, "10886"},
                                         {cell::txtTFB, "1000"}}));
        click(*m_window, "cmdCalculate");
        const QStringList shown = cellStates(*m_window);
        m_window->setUnit(Unit::Pounds);
        QCOMPARE(cellStates(*m_window), cellStates(*inPounds));
        m_window->setUnit(Unit::Kilograms);
        QCOMPARE(cellStates(*m_window), shown);
        QCOMPARE(warnings(), kNone);
    }

    // A text typed (or pasted) in one unit, the text the other unit shows, and the same text
    // again after each switch back.
    void switchingBackAndForth_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("other");
        addRow("lbs", "txtPayLoad", "100001", "45360");
        addRow("kg", "txtPayLoad", "45360", "100002");
        addRow("kg", "txtTFB", "907", "2000");
        addRow("lbs", "txtPayLoad", "", "");
        addRow("kg", "txtTFB", "1 t", "1 t");
    }
    void switchingBackAndForth() {
        QFETCH(QString, unit);
        QFETCH(QString, cell);
        QFETCH(QString, typed);
        QFETCH(QString, other);
        const Unit typedIn = *unitNamed(unit.toStdString());
        const Unit otherUnit = typedIn == Unit::Pounds ? Unit::Kilograms : Unit::Pounds;
        m_window->setUnit(typedIn);
        paste(*m_window, cell, typed);
        for (int round = 0; round < 2; ++round) {
            m_window->setUnit(otherUnit);
            QCOMPARE(text(*m_window, cell), other);
            m_window->setUnit(typedIn);
            QCOMPARE(text(*m_window, cell), typed);
        }
    }

    // The sample plan calculated in pounds and shown in kilograms: Calculate pressed again there
    // changes nothing, Print names every weight in kg, and back in pounds every cell is as it was.
    void aPlanOnScreenSwitchesWhole() {
        RecordingPrinter printer;
        m_window->setPrinterFactory([&] { return std::make_unique<RecordingPrinter>(printer); });
        enterPlan(*m_window, samplePlan());
        click(*m_window, "cmdCalculate");
        const QStringList inPounds = cellStates(*m_window);
        m_window->setUnit(Unit::Kilograms);
        const QStringList inKilograms = cellStates(*m_window);
        for (const QString& state : {u"txtBOW 178755 "_s, u"txtZFW 224115 "_s, u"cmbMLF 8618 "_s}) {
            QVERIFY2(inKilograms.filter(state).size() == 1, qPrintable(state));
        }
        press(*m_window, u"cmdCalculate cmbPrint"_s);
        QCOMPARE(cellStates(*m_window), inKilograms);
        QCOMPARE(toQ(*printer.operations).filter(QRegularExpression(u" kg$"_s)).size(), 16);
        m_window->setUnit(Unit::Pounds);
        QCOMPARE(cellStates(*m_window), inPounds);
        QCOMPARE(warnings(), kNone);
    }

    // In kilograms the payload refuses what weighs more than 140912 lbs: 63917 kg, not 63916 kg.
    void payloadLimitInKilograms() {
        m_window->setUnit(Unit::Kilograms);
        typeInto(*m_window, "txtPayLoad", u"63917"_s);
        press(*m_window, u"Tab"_s);
        QCOMPARE(warnings(), QStringList{u"Payload: please enter a value lower then 63.916"_s});
        paste(*m_window, "txtPayLoad", u"63916"_s);
        press(*m_window, u"Tab"_s);
        QCOMPARE(focusName(*m_window), u"txtContingencyTime"_s);
        QCOMPARE(warnings().size(), 1);
    }

    // While the window shows kilograms no text of it names pounds; back in pounds it says what a
    // new window says.
    void noTextNamesPoundsInKilograms() {
        const QStringList fresh = windowTexts(*m_window);
        const qsizetype namingPounds = fresh.filter(u"lbs"_s, Qt::CaseInsensitive).size();
        QVERIFY(namingPounds > 0);
        m_window->setUnit(Unit::Kilograms);
        const QStringList texts = windowTexts(*m_window);
        QCOMPARE(texts.filter(u"lbs"_s, Qt::CaseInsensitive), kNone);
        const QRegularExpression kilograms(u"\\bkg\\b"_s,
                                           QRegularExpression::CaseInsensitiveOption);
        QCOMPARE(texts.filter(kilograms).size(), namingPounds);
        m_window->setUnit(Unit::Pounds);
        QCOMPARE(windowTexts(*m_window), fresh);
    }
};

QTEST_MAIN(UnitsTest)
#include "units_test.moc"
