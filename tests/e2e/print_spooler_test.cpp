// The Print button of the real window on the default printer of the print spooler that
// print_spooler_test.sh runs for this test alone. The script says what must happen:
//   BRIMWELL_E2E_JOBS=<folder>    the page arrives in the folder, as job-<number>.prn
//   BRIMWELL_E2E_REASON=<text>    the printer message gives this reason, and nothing is printed

#include <QDir>
#include <QProcess>
#include <QTest>

#include "report/report_lines.h"
#include "tests/support/window_driver.h"
#include "ui/window_cells.h"

using namespace brimwell;
using namespace brimwell::test;
using namespace Qt::StringLiterals;

class PrintSpoolerTest final : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void printGoesToTheDefaultPrinterOrSaysWhyNot() {
        const QString jobs = qEnvironmentVariable("BRIMWELL_E2E_JOBS");
        const QString reason = qEnvironmentVariable("BRIMWELL_E2E_REASON");
        QVERIFY2(jobs.isEmpty() != reason.isEmpty(), "say BRIMWELL_E2E_JOBS or _REASON");
        const auto window = openWindow();
        warnings().clear();
        enterPlan(*window, samplePlan());
        click(*window, "cmdCalculate");
        const QStringList before = cellStates(*window);
        click(*window, "cmbPrint");
        QCOMPARE(cellStates(*window), before);
        if (!reason.isEmpty()) {  // the printer may answer after the click
            QTRY_VERIFY_WITH_TIMEOUT(!warnings().isEmpty(), 30000);
            const QString message = u"The report was not printed: "_s + reason;
            QVERIFY2(warnings().size() == 1 && warnings().front().startsWith(message),
                     qPrintable(warnings().join(u'\n')));
            return;
        }
        // The spooler hands the page to the queue's backend in its own time.
        QTRY_COMPARE_WITH_TIMEOUT(QDir(jobs, u"job-*.prn"_s).entryList().size(), 1, 60000);
        const QDir folder(jobs, u"job-*.prn"_s);
        QCOMPARE(warnings(), QStringList());
        QProcess pdftotext;
        pdftotext.start(u"pdftotext"_s,
                        {u"-layout"_s, folder.filePath(folder.entryList()[0]), u"-"_s});
        QVERIFY(pdftotext.waitForFinished(30000) && pdftotext.exitCode() == 0);
        const QString page = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QCOMPARE(page.count(u'\f'), 1);  // one page
        // The lines that show some text, each with its words one space apart.
        const auto linesOf = [](QStringList lines) {
            for (QString& line : lines) {
                line = line.simplified();
            }
            lines.removeAll(QString());
            return lines;
        };
        const ReportLines report = buildReportLines(ui::WindowCells(*window));
        QCOMPARE(linesOf(page.split(u'\n')), linesOf(toQ(report)));
    }
};

QTEST_MAIN(PrintSpoolerTest)
#include "print_spooler_test.moc"
