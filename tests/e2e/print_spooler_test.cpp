// The Print button of the real window on the default printer of the spooler that
// print_spooler_test.sh runs for this test alone; the script says what must happen:
//   BRIMWELL_E2E_JOBS=<folder>   the page arrives there as job-<number>.prn
//   BRIMWELL_E2E_REASON=<text>   the printer gives this reason, and nothing is printed
//   BRIMWELL_E2E_STOP=<pid>      (with _JOBS) the scheduler is stopped as the job comes: told
//                                not printed, and once continued only the next page prints
//   BRIMWELL_E2E_CANCEL=<queue>  (with _REASON) the jobs are cancelled as the release comes

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <functional>

#include "engine/cell_names.h"
#include "report/report_lines.h"
#include "tests/support/window_driver.h"
#include "ui/control_names.h"
#include "ui/window_cells.h"

using namespace brimwell;
using namespace brimwell::engine;
using namespace brimwell::test;
using brimwell::report::buildReportLines;
using brimwell::report::ReportLines;
using namespace Qt::StringLiterals;

namespace {

// Stands between the window and the scheduler, passing everything on; each piece of a request
// the window sends is handed to `act` before it passes.
class SpoolerProxy final : public QObject {
  public:
    SpoolerProxy(const QString& listenAt, QString scheduler,
                 std::function<void(const QByteArray&)> act)
        : m_scheduler(std::move(scheduler)), m_act(std::move(act)) {
        connect(&m_server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* window = m_server.nextPendingConnection()) {
                auto* spooler = new QLocalSocket(window);
                spooler->connectToServer(m_scheduler);
                spooler->waitForConnected();
                connect(window, &QLocalSocket::readyRead, spooler, [this, window, spooler] {
                    const QByteArray request = window->readAll();
                    m_act(request);
                    spooler->write(request);
                });
                connect(spooler, &QLocalSocket::readyRead, window,
                        [window, spooler] { window->write(spooler->readAll()); });
                connect(window, &QLocalSocket::disconnected, spooler,
                        &QLocalSocket::disconnectFromServer);
            }
        });
        m_server.listen(listenAt);
    }

  private:
    QLocalServer m_server;
    QString m_scheduler;
    std::function<void(const QByteArray&)> m_act;
};

// Whether the data holds the start of an IPP Release-Job request: its operation (0x000d), the
// request's number, and the first attribute, which IPP requires to be attributes-charset.
bool releasesAJob(const QByteArray& data) {
    const QByteArray charset = QByteArray::fromHex("01470012") + "attributes-charset";
    const qsizetype at = data.indexOf(charset);
    return at >= 6 && data.mid(at - 6, 2) == QByteArray::fromHex("000d");
}

// Cancels every job of the queue, as its operator would, asking the scheduler itself.
void cancelJobs(const QString& queue, const QString& scheduler) {
    QProcess cancel;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"CUPS_SERVER"_s, scheduler);
    cancel.setProcessEnvironment(environment);
    cancel.start(u"cancel"_s, {u"-a"_s, queue});
    if (!cancel.waitForFinished(30000) || cancel.exitCode() != 0) {
        qFatal("the jobs of %s could not be cancelled", qPrintable(queue));
    }
}

}  // namespace

class PrintSpoolerTest final : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void printGoesToTheDefaultPrinterOrSaysWhyNot() {
        const QString jobs = qEnvironmentVariable("BRIMWELL_E2E_JOBS");
        const QString reason = qEnvironmentVariable("BRIMWELL_E2E_REASON");
        const pid_t scheduler = qEnvironmentVariableIntValue("BRIMWELL_E2E_STOP");
        const QString cancelled = qEnvironmentVariable("BRIMWELL_E2E_CANCEL");
        QVERIFY2(jobs.isEmpty() != reason.isEmpty(), "say BRIMWELL_E2E_JOBS or _REASON");
        const auto window = openWindow();
        warnings().clear();
        enterPlan(*window, samplePlan());
        click(*window, ui::control::cmdCalculate);
        const QStringList before = cellStates(*window);
        const QTemporaryDir proxyFolder;
        std::unique_ptr<SpoolerProxy> proxy;
        bool stopped = false;
        if (scheduler != 0 || !cancelled.isEmpty()) {
            const QString at = proxyFolder.filePath(u"proxy.sock"_s);
            const QString spooler = qEnvironmentVariable("CUPS_SERVER");
            // The scheduler is stopped as the first request that names a job passes: it takes
            // the job only once continued.
            proxy = std::make_unique<SpoolerProxy>(at, spooler, [&](const QByteArray& request) {
                if (scheduler != 0 && !stopped && request.contains("job-name")) {
                    stopped = ::kill(scheduler, SIGSTOP) == 0;
                }
                if (!cancelled.isEmpty() && releasesAJob(request)) {
                    cancelJobs(cancelled, spooler);
                }
            });
            qputenv("CUPS_SERVER", at.toLocal8Bit());
            if (scheduler != 0) {
                window->setPrinterAnswerBound(std::chrono::seconds(1));
            }
        }
        click(*window, ui::control::cmbPrint);
        QCOMPARE(cellStates(*window), before);
        if (!reason.isEmpty()) {  // the printer may answer after the click
            QTRY_VERIFY_WITH_TIMEOUT(!warnings().isEmpty(), 30000);
            const QString message = u"The report was not printed: "_s + reason;
            QVERIFY2(warnings().size() == 1 && warnings().front().startsWith(message),
                     qPrintable(warnings().join(u'\n')));
            return;
        }
        if (proxy != nullptr) {
            QTRY_VERIFY_WITH_TIMEOUT(!warnings().isEmpty(), 30000);
            QVERIFY(stopped);
            QCOMPARE(warnings(), QStringList{u"The report was not printed: the printer did not "
                                             u"answer within 1 second"_s});
            QCOMPARE(::kill(scheduler, SIGCONT), 0);
            // The page printed below is this one, not the first.
            enterPlan(*window, {{cell::txtOriginICAO, "EGLL"}});
            // Refused while the printer has not answered about the first page.
            bool taken = false;
            const auto printTaken = [&window, &taken] {
                const qsizetype told = warnings().size();
                taken = taken || (click(*window, ui::control::cmbPrint), warnings().size() == told);
                return taken;
            };
            QTRY_VERIFY_WITH_TIMEOUT(printTaken(), 30000);
            warnings().removeAll(
                u"The report was not printed: the printer has not yet answered about the last "
                u"report"_s);
        }
        // The spooler hands the page to the queue's backend in its own time; pages print in
        // the order they were released.
        QTRY_COMPARE_WITH_TIMEOUT(QDir(jobs, u"job-*.prn"_s).entryList().size(), 1, 60000);
        const QDir folder(jobs, u"job-*.prn"_s);
        QCOMPARE(warnings().size(), proxy != nullptr ? 1 : 0);
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
