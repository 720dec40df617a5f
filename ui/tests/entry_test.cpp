// The key filters and limit checks of the numeric cells, typed, pasted and left by Tab, click
// and access key.

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <array>

#include "engine/cell_names.h"
#include "engine/flight_data.h"
#include "window_driver.h"

using namespace brimwell;
using namespace brimwell::test;

namespace {

// Replaces the whole text of a cell by typing: click, select all, then the keys.
void retype(const MainWindow& window, const char* name, const QString& text) {
    click(window, name);
    QLineEdit* edit = textBox(window, name);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

QString warningOf(const char* cellName) {
    const auto rule = fieldLimit(cellName);
    return rule ? QString::fromUtf8(rule->warning.data(),
                                    static_cast<qsizetype>(rule->warning.size()))
                : QString();
}

}  // namespace

class EntryRules final : public QObject {
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

    void typingKeepsOnlyDigits_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("before");
        for (const auto name : kDigitCells) {
            const QString cellName =
                QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
            // txtTFB starts with "2000", the others empty
            QTest::newRow(qPrintable(cellName))
                << cellName << (name == cell::txtTFB ? QStringLiteral("2000") : QString());
        }
    }
    void typingKeepsOnlyDigits() {
        QFETCH(QString, cell);
        QFETCH(QString, before);
        const QByteArray name = cell.toLatin1();
        typeInto(*m_window, name.constData(), QStringLiteral("12a.5-"));
        QCOMPARE(textBox(*m_window, name.constData())->text(), before + QStringLiteral("125"));
        // A space, a comma, a plus and letters of every case are dropped as well.
        QLineEdit* edit = textBox(*m_window, name.constData());
        QTest::keyClicks(edit, QStringLiteral(" ,+Zz"));
        for (const QString& typed :
             {QStringLiteral("\u00e9"), QStringLiteral("\u4e00"), QStringLiteral("\u0663")}) {
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, typed, Qt::NoModifier);
        }
        QCOMPARE(edit->text(), before + QStringLiteral("125"));
        QVERIFY(m_messages->shown().empty());
    }

    void backspaceAndClipboardKeysWork_data() { typingKeepsOnlyDigits_data(); }
    void backspaceAndClipboardKeysWork() {
        QFETCH(QString, cell);
        const QByteArray name = cell.toLatin1();
        QLineEdit* edit = textBox(*m_window, name.constData());
        retype(*m_window, name.constData(), QStringLiteral("125"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("12"));
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("12"));
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("1212"));
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(edit->text(), QString());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1212"));
    }

    void limitsPassAtTheLimitAndRefuseAbove_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("refused");
        QTest::newRow("distance 8400")
            << QStringLiteral("txtDestinationDistance") << QStringLiteral("8400") << false;
        QTest::newRow("distance 8401")
            << QStringLiteral("txtDestinationDistance") << QStringLiteral("8401") << true;
        QTest::newRow("distance 0009000")
            << QStringLiteral("txtDestinationDistance") << QStringLiteral("0009000") << true;
        QTest::newRow("distance 0")
            << QStringLiteral("txtDestinationDistance") << QStringLiteral("0") << false;
        QTest::newRow("distance of 400 digits")
            << QStringLiteral("txtDestinationDistance") << QString(400, QLatin1Char('9')) << true;
        QTest::newRow("wind 1000")
            << QStringLiteral("txtWindIntensity") << QStringLiteral("1000") << false;
        QTest::newRow("wind 1001")
            << QStringLiteral("txtWindIntensity") << QStringLiteral("1001") << true;
        QTest::newRow("wind 0") << QStringLiteral("txtWindIntensity") << QStringLiteral("0")
                                << false;
        QTest::newRow("payload 140912")
            << QStringLiteral("txtPayLoad") << QStringLiteral("140912") << false;
        QTest::newRow("payload 140913")
            << QStringLiteral("txtPayLoad") << QStringLiteral("140913") << true;
        QTest::newRow("payload 00140912")
            << QStringLiteral("txtPayLoad") << QStringLiteral("00140912") << false;
        QTest::newRow("contingency has no limit")
            << QStringLiteral("txtContingencyTime") << QStringLiteral("99999999") << false;
        QTest::newRow("taxi fuel has no limit")
            << QStringLiteral("txtTFB") << QStringLiteral("99999999") << false;
    }
    void limitsPassAtTheLimitAndRefuseAbove() {
        QFETCH(QString, cell);
        QFETCH(QString, value);
        QFETCH(bool, refused);
        const QByteArray name = cell.toLatin1();
        retype(*m_window, name.constData(), value);
        QCOMPARE(focusName(), cell);
        QWidget* cellWidget = control(*m_window, name.constData());
        QWidget* next = cellWidget->nextInFocusChain();
        while ((next->focusPolicy() & Qt::TabFocus) == 0 || !next->isEnabled()) {
            next = next->nextInFocusChain();
        }
        QTest::keyClick(cellWidget, Qt::Key_Tab);
        if (!refused) {
            QVERIFY(m_messages->shown().empty());
            QCOMPARE(focusedControl(), next);
            return;
        }
        QTRY_COMPARE(m_messages->shown().size(), std::size_t{1});
        const ShownMessage& shown = m_messages->shown().front();
        QCOMPARE(shown.text, warningOf(name.constData()));
        QCOMPARE(shown.title, QStringLiteral("Brimwell v2.0"));
        QCOMPARE(shown.icon, QMessageBox::Warning);
        QCOMPARE(shown.buttonCount, 1);
        QVERIFY(shown.okButton);
        QTRY_COMPARE(focusName(), cell);
        QCOMPARE(textBox(*m_window, name.constData())->text(), value);
        // Shift+Tab is refused as well, until the value is within the limit.
        QTest::keyClick(cellWidget, Qt::Key_Backtab, Qt::ShiftModifier);
        QTRY_COMPARE(m_messages->shown().size(), std::size_t{2});
        QTRY_COMPARE(focusName(), cell);
        // A value within the limit lets the focus go.
        QTest::keyClick(cellWidget, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(cellWidget, QStringLiteral("1"));
        QCOMPARE(textBox(*m_window, name.constData())->text(), QStringLiteral("1"));
        QTest::keyClick(cellWidget, Qt::Key_Tab);
        QCOMPARE(focusedControl(), next);
        QCOMPARE(m_messages->shown().size(), std::size_t{2});
    }

    void emptyCellsLetTheFocusGo_data() {
        QTest::addColumn<QString>("cell");
        QTest::newRow("distance") << QStringLiteral("txtDestinationDistance");
        QTest::newRow("wind") << QStringLiteral("txtWindIntensity");
        QTest::newRow("payload") << QStringLiteral("txtPayLoad");
    }
    void emptyCellsLetTheFocusGo() {
        QFETCH(QString, cell);
        const QByteArray name = cell.toLatin1();
        click(*m_window, name.constData());
        QCOMPARE(focusName(), cell);
        click(*m_window, "txtOriginICAO");
        QCOMPARE(focusName(), QStringLiteral("txtOriginICAO"));
        QVERIFY(m_messages->shown().empty());
    }

    // A click on any other control runs the check first; the control neither takes the focus
    // nor acts.
    void clickOnAnotherControlIsRefused_data() {
        QTest::addColumn<QString>("target");
        for (const char* target : {"txtPayLoad", "txtBOW", "cmbFlightLevel", "cmbMLF",
                                   "CheckCorrection", "Picture1", "txtOriginICAO"}) {
            QTest::newRow(target) << QString::fromLatin1(target);
        }
    }
    void clickOnAnotherControlIsRefused() {
        QFETCH(QString, target);
        const QByteArray targetName = target.toLatin1();
        retype(*m_window, "txtDestinationDistance", QStringLiteral("9000"));
        const WindowState before = captureState(*m_window);
        click(*m_window, targetName.constData());
        QTRY_COMPARE(m_messages->texts(), QStringList{warningOf("txtDestinationDistance")});
        QTRY_COMPARE(focusName(), QStringLiteral("txtDestinationDistance"));
        QCOMPARE(captureState(*m_window), before);
        if (auto* box = list(*m_window, targetName.constData())) {
            QVERIFY(!box->view()->isVisible());
        }
        // Within the limit again, the click goes through.
        retype(*m_window, "txtDestinationDistance", QStringLiteral("840"));
        click(*m_window, targetName.constData());
        QCOMPARE(m_messages->shown().size(), std::size_t{1});
        QTRY_COMPARE(focusName(), target);
    }

    void refusedValueStopsEveryButton_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("accessKey");
        const std::array<std::pair<const char*, Qt::Key>, 4> buttons = {
            {{"cmdCalculate", Qt::Key_C},
             {"cmbPrint", Qt::Key_P},
             {"Command1", Qt::Key_L},
             {"Uscita", Qt::Key_E}}};
        for (const auto& [name, key] : buttons) {
            QTest::newRow(qPrintable(QStringLiteral("%1 clicked").arg(QLatin1String(name))))
                << QString::fromLatin1(name) << 0;
            QTest::newRow(qPrintable(QStringLiteral("%1 by Alt key").arg(QLatin1String(name))))
                << QString::fromLatin1(name) << static_cast<int>(key);
        }
    }
    void refusedValueStopsEveryButton() {
        QFETCH(QString, button);
        QFETCH(int, accessKey);
        int printers = 0;
        QStringList printed;
        m_window->setPrinterFactory([&]() -> std::unique_ptr<Printer> {
            ++printers;
            return std::make_unique<RecordingPrinter>(printed);
        });
        enterPlan(*m_window, samplePlan());
        click(*m_window, "cmdCalculate");
        QCOMPARE(textBox(*m_window, "txtZFW")->text(), QStringLiteral("494088"));
        QVERIFY(m_messages->shown().empty());

        // 9000 nm: refused, and a plan of it would differ from the one on screen.
        retype(*m_window, "txtDestinationDistance", QStringLiteral("9000"));
        const WindowState before = captureState(*m_window);
        if (accessKey == 0) {
            click(*m_window, button.toLatin1().constData());
        } else {
            QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(accessKey),
                            Qt::AltModifier);
        }
        QTRY_COMPARE(m_messages->texts(), QStringList{warningOf("txtDestinationDistance")});
        QTRY_COMPARE(focusName(), QStringLiteral("txtDestinationDistance"));
        QCOMPARE(captureState(*m_window), before);
        QCOMPARE(printers, 0);
        QVERIFY(printed.isEmpty());
        QVERIFY(m_window->isVisible());
    }

    void pastedTextThatIsNoWholeNumberIsRefused_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("pasted");
        for (const char* cellName : {"txtDestinationDistance", "txtWindIntensity", "txtPayLoad"}) {
            for (const char* pasted : {"12a", "1,5", "-3", " 7", "1e3", "0x10", "\xe2\x85\xa0"}) {
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(cellName),
                                                                     QString::fromUtf8(pasted))))
                    << QString::fromLatin1(cellName) << QString::fromUtf8(pasted);
            }
        }
    }
    void pastedTextThatIsNoWholeNumberIsRefused() {
        QFETCH(QString, cell);
        QFETCH(QString, pasted);
        const QByteArray name = cell.toLatin1();
        click(*m_window, name.constData());
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(textBox(*m_window, name.constData())->text(), pasted);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_COMPARE(m_messages->texts(), QStringList{warningOf(name.constData())});
        QTRY_COMPARE(focusName(), cell);
        QCOMPARE(textBox(*m_window, name.constData())->text(), pasted);
    }

    // Pasted text in a cell without a limit passes here; Calculate then reports it.
    void pastedTextInAnUnlimitedCellEndsInTheCalculateMessage() {
        enterPlan(*m_window, samplePlan());
        retype(*m_window, "txtContingencyTime", QString());
        QGuiApplication::clipboard()->setText(QStringLiteral("half an hour"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(m_messages->shown().empty());
        click(*m_window, "cmdCalculate");
        QTRY_COMPARE(m_messages->texts(),
                     QStringList{QString::fromUtf8(
                         kFailureMessage.data(), static_cast<qsizetype>(kFailureMessage.size()))});
    }

    // The focus starts in the origin and Tab walks the window in this order, back to the first;
    // Shift+Tab walks it backwards. Labels and frames are never visited.
    void tabVisitsTheControlsInOrder_data() {
        QTest::addColumn<bool>("backwards");
        QTest::newRow("Tab") << false;
        QTest::newRow("Shift+Tab") << true;
    }
    void tabVisitsTheControlsInOrder() {
        QFETCH(bool, backwards);
        QStringList order =
            QStringLiteral(
                "txtOriginICAO txtDestinationICAO txtDestinationDistance txtAlternateICAO "
                "cmbAlternateDistance cmbWindDirection txtWindIntensity cmbFlightLevel "
                "txtPayLoad txtContingencyTime txtDistWinCorr cmdCalculate Command1 Uscita "
                "txtBOW txtPayLoadDuplicate txtZFW txtZFWDuplicate cmbMLF txtAF txtCF txtPLW "
                "txtPLWDuplicate txtFPF txtGTW txtGTWDuplicate txtTFB txtTW txtFL txtETA txtICA "
                "CheckCorrection Picture1 Picture2 cmbPrint")
                .split(QLatin1Char(' '));
        QCOMPARE(focusName(), order.front());
        if (backwards) {
            std::reverse(order.begin() + 1, order.end());
        }
        order.append(order.front());
        QStringList visited = {focusName()};
        for (qsizetype step = 1; step < order.size(); ++step) {
            QWidget* focus = focusedControl();
            QVERIFY(focus != nullptr);
            QTest::keyClick(focus, backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                            backwards ? Qt::ShiftModifier : Qt::NoModifier);
            visited.append(focusName());
        }
        QCOMPARE(visited, order);
        QVERIFY(m_messages->shown().empty());
    }

  private:
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<MessageBoxWatcher> m_messages;
};

QTEST_MAIN(EntryRules)
#include "entry_test.moc"
