// The Print button of the real window on the system's default printer, through the print
// spooler. tests/e2e/print_spooler_test.sh sets the spooler up and runs this program once per
// situation, which it names in the environment:
//   BRIMWELL_E2E_EXPECT=printed  BRIMWELL_E2E_SPOOL=<folder where the queue keeps its jobs>
//   BRIMWELL_E2E_EXPECT=refused  BRIMWELL_E2E_REASON=<why the report cannot be printed>
//                                BRIMWELL_E2E_SPOOL=<folder that must stay empty> (optional)

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <map>
#include <memory>
#include <vector>

#include "engine/flight_data.h"
#include "report/print_command.h"
#include "report/qt/default_printer.h"
#include "report/report_lines.h"
#include "report/tests/pdf_probe.h"
#include "ui/main_window.h"

namespace brimwell {

namespace {

QString environment(const char* name) {
    return qEnvironmentVariable(name);
}

// A window or dialog that came up while the watcher was running.
struct SeenWindow {
    QString className;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// While it lives, notes every modal window and dialog that appears and closes it, so that a
// dialog can neither block the test nor go unnoticed.
class DialogWatcher final : public QObject {
  public:
    DialogWatcher() {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { look(); });
        m_timer.start();
    }
    const std::vector<SeenWindow>& seen() const { return m_seen; }

  private:
    void look() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(widget);
            if (widget->isVisible() && (dialog != nullptr || widget->isModal())) {
                SeenWindow seen{QString::fromLatin1(widget->metaObject()->className()),
                                widget->windowTitle(),
                                {},
                                QMessageBox::NoIcon,
                                {}};
                if (auto* box = qobject_cast<QMessageBox*>(widget)) {
                    seen.text = box->text();
                    seen.icon = box->icon();
                    for (QAbstractButton* button : box->buttons()) {
                        seen.buttons.append(button->text());
                    }
                }
                m_seen.push_back(seen);
                if (dialog != nullptr) {
                    dialog->accept();
                } else {
                    widget->close();
                }
            }
        }
    }
    QTimer m_timer;
    std::vector<SeenWindow> m_seen;
};

// What the dialogs said, for the failure message of a test.
QString describe(const std::vector<SeenWindow>& seen) {
    QStringList lines;
    for (const SeenWindow& window : seen) {
        lines.append(window.className + QStringLiteral(" \"") + window.title +
                     QStringLiteral("\": ") + window.text);
    }
    return lines.join(QLatin1Char('\n'));
}

// The cells as the window shows them: texts, colours and the tick box.
using WindowState = std::map<QString, QString>;

WindowState stateOf(const QWidget& window) {
    WindowState state;
    for (const QLineEdit* box : window.findChildren<QLineEdit*>()) {
        if (box->parent() != nullptr && qobject_cast<const QComboBox*>(box->parent()) != nullptr) {
            continue;
        }
        state[box->objectName()] =
            box->text() + QStringLiteral(" | ") + box->palette().color(QPalette::Base).name() +
            QStringLiteral(" | ") +
            (box->isReadOnly() ? QStringLiteral("locked") : QStringLiteral("open"));
    }
    for (const QComboBox* list : window.findChildren<QComboBox*>()) {
        state[list->objectName()] = QString::number(list->currentIndex());
    }
    for (const QCheckBox* tick : window.findChildren<QCheckBox*>()) {
        state[tick->objectName()] = tick->isChecked() ? QStringLiteral("ticked") : QString();
    }
    return state;
}

// The cells of the window read through its widgets, for the lines the page must show.
class WidgetCells final : public CellReader {
  public:
    explicit WidgetCells(const QWidget& window) : m_window(window) {}
    std::string text(std::string_view name) const override {
        const QString objectName = QString::fromUtf8(name.data(), qsizetype(name.size()));
        if (auto* list = m_window.findChild<QComboBox*>(objectName)) {
            return list->currentText().toStdString();
        }
        if (auto* box = m_window.findChild<QLineEdit*>(objectName)) {
            return box->text().toStdString();
        }
        qFatal("the window has no cell %s", qPrintable(objectName));
    }
    bool isTicked(std::string_view name) const override {
        const auto* tick =
            m_window.findChild<QCheckBox*>(QString::fromUtf8(name.data(), qsizetype(name.size())));
        return tick != nullptr && tick->isChecked();
    }

  private:
    const QWidget& m_window;
};

QStringList jobs(const QString& spool) {
    return QDir(spool).entryList({QStringLiteral("job-*.prn")}, QDir::Files, QDir::Name);
}

}  // namespace

class PrintSpoolerTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<MainWindow> m_window;
    QString m_expect;
    QString m_spool;

    QWidget* control(const char* name) {
        auto* widget = m_window->findChild<QWidget*>(QString::fromLatin1(name));
        if (widget == nullptr) {
            qFatal("the window has no control %s", name);
        }
        return widget;
    }

    void type(const char* name, const QString& text) {
        auto* box = qobject_cast<QLineEdit*>(control(name));
        QVERIFY(box != nullptr);
        QTest::mouseClick(box, Qt::LeftButton);
        box->end(false);
        QTest::keyClicks(box, text);
        QCOMPARE(box->text(), text);
    }

    void pick(const char* name, const QString& item) {
        auto* list = qobject_cast<QComboBox*>(control(name));
        QVERIFY(list != nullptr);
        const int index = list->findText(item);
        QVERIFY2(index >= 0, qPrintable(item));
        list->setCurrentIndex(index);
        QCOMPARE(list->currentText(), item);
    }

    // The sample plan, typed and picked as a pilot does, and calculated.
    void enterAndCalculateThePlan() {
        type("txtOriginICAO", QStringLiteral("lirf"));
        type("txtDestinationICAO", QStringLiteral("KJFK"));
        type("txtDestinationDistance", QStringLiteral("4000"));
        type("txtAlternateICAO", QStringLiteral("KBos"));
        pick("cmbAlternateDistance", QStringLiteral("200"));
        pick("cmbWindDirection", QStringLiteral("Head"));
        type("txtWindIntensity", QStringLiteral("50"));
        pick("cmbFlightLevel", QStringLiteral("FL350"));
        type("txtPayLoad", QStringLiteral("100000"));
        type("txtContingencyTime", QStringLiteral("30"));
        pick("cmbMLF", QStringLiteral("19000"));
        {
            DialogWatcher watcher;
            QTest::mouseClick(control("cmdCalculate"), Qt::LeftButton);
            QCoreApplication::processEvents();
            QVERIFY2(watcher.seen().empty(), qPrintable(describe(watcher.seen())));
        }
        QCOMPARE(qobject_cast<QLineEdit*>(control("txtZFW"))->text(), QStringLiteral("494088"));
        QCOMPARE(qobject_cast<QLineEdit*>(control("txtTW"))->text(), QStringLiteral("723840"));
    }

    // Presses Print with the mouse; returns the dialogs that came up meanwhile.
    std::vector<SeenWindow> pressPrint() {
        DialogWatcher watcher;
        QTest::mouseClick(control("cmbPrint"), Qt::LeftButton);
        QTest::qWait(100);
        return watcher.seen();
    }

  private Q_SLOTS:
    void initTestCase() {
        m_expect = environment("BRIMWELL_E2E_EXPECT");
        m_spool = environment("BRIMWELL_E2E_SPOOL");
        QVERIFY2(m_expect == QStringLiteral("printed") || m_expect == QStringLiteral("refused"),
                 "BRIMWELL_E2E_EXPECT must be printed or refused");
        if (m_expect == QStringLiteral("printed")) {
            QVERIFY2(QDir(m_spool).exists(), "BRIMWELL_E2E_SPOOL must name the queue's folder");
        }
    }

    void init() {
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        enterAndCalculateThePlan();
    }

    void cleanup() { m_window.reset(); }

    // Two presses: two documents at the spooler, each one page of the 37 lines, the title in
    // bold Arial; no dialog, and the window as it was.
    void printGoesToTheDefaultPrinterWithoutDialog() {
        if (m_expect != QStringLiteral("printed")) {
            QSKIP("the spooler has no default printer in this run");
        }
        const QStringList before = jobs(m_spool);
        const WindowState state = stateOf(*m_window);
        const ReportLines expected = buildReportLines(WidgetCells(*m_window));
        QCOMPARE(QString::fromStdString(expected[4]), QStringLiteral("Origin: lirf"));
        QCOMPARE(QString::fromStdString(expected[6]),
                 QStringLiteral("Alternate: KBos distance: 200 nm"));

        for (int press = 1; press <= 2; ++press) {
            const std::vector<SeenWindow> seen = pressPrint();
            QVERIFY2(seen.empty(), qPrintable(describe(seen)));
            QCOMPARE(stateOf(*m_window), state);
        }

        // The spooler hands the documents to the queue's backend in its own time.
        QDeadlineTimer deadline(60000);
        while (jobs(m_spool).size() < before.size() + 2 && !deadline.hasExpired()) {
            QTest::qWait(200);
        }
        QStringList received = jobs(m_spool);
        for (const QString& old : before) {
            received.removeAll(old);
        }
        QCOMPARE(received.size(), 2);

        QStringList firstText;
        for (const QString& job : received) {
            const QString path = QDir(m_spool).filePath(job);
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.read(5), QByteArray("%PDF-"));
            const probe::Page page = probe::readPage(path);
            QVERIFY2(page.failure.isEmpty(), qPrintable(page.failure));
            QCOMPARE(page.pages, 1);
            QCOMPARE(page.plainLines, probe::plainReport(expected));
            QStringList texts;
            for (const auto& line : page.lines) {
                texts.append(line.text);
            }
            QCOMPARE(texts, probe::inkedReport(expected));
            QVERIFY(page.lines.front().bold);
            QCOMPARE(page.lines.front().size, 16.0);
            for (qsizetype i = 1; i < page.lines.size(); ++i) {
                QVERIFY2(!page.lines[i].bold && page.lines[i].size == 10.0,
                         qPrintable(page.lines[i].text));
            }
            bool boldArial = false;
            for (const QString& font : page.fonts) {
                QVERIFY2(probe::isArialCompatible(font), qPrintable(font));
                boldArial = boldArial || probe::isBoldName(font);
            }
            QVERIFY2(boldArial, qPrintable(page.fonts.join(QLatin1Char(' '))));
            if (firstText.isEmpty()) {
                firstText = texts;
            }
            QCOMPARE(texts, firstText);
        }
    }

    // No printer to print on: one message box in the program's style says so and why, and the
    // window stays as it was; nothing reaches the spooler.
    void withoutAPrinterTheMessageSaysWhyAndTheWindowStays() {
        if (m_expect != QStringLiteral("refused")) {
            QSKIP("the spooler has a default printer in this run");
        }
        const QString reason = environment("BRIMWELL_E2E_REASON");
        QVERIFY2(!reason.isEmpty(), "BRIMWELL_E2E_REASON must say why nothing can be printed");
        const QStringList before = m_spool.isEmpty() ? QStringList() : jobs(m_spool);
        const WindowState state = stateOf(*m_window);

        const std::vector<SeenWindow> seen = pressPrint();
        QVERIFY2(seen.size() == 1, qPrintable(describe(seen)));
        const SeenWindow& box = seen.front();
        qInfo("message box: %s", qPrintable(box.text));
        QCOMPARE(box.className, QStringLiteral("QMessageBox"));
        QCOMPARE(box.title, QString::fromLatin1(kApplicationTitle.data(),
                                                qsizetype(kApplicationTitle.size())));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.buttons.size(), 1);
        QVERIFY2(box.text.startsWith(QStringLiteral("The report was not printed: ")),
                 qPrintable(box.text));
        QVERIFY2(box.text.contains(reason), qPrintable(box.text));
        QCOMPARE(stateOf(*m_window), state);
        QVERIFY(m_window->isVisible());

        // Printing the same report straight on the printer service fails for the same reason.
        try {
            const auto printer = openDefaultPrinter();
            cmbPrint_Click(WidgetCells(*m_window), *printer);
            QFAIL("the report was printed");
        } catch (const PrintError& error) {
            QCOMPARE(QString::fromStdString(printFailureMessage(error)), box.text);
        }
        if (!m_spool.isEmpty()) {
            QTest::qWait(1000);
            QCOMPARE(jobs(m_spool), before);
        }
    }
};

}  // namespace brimwell

QTEST_MAIN(brimwell::PrintSpoolerTest)
#include "print_spooler_test.moc"
