// The PDF printer, read back with the poppler tools: one page, the 37 lines in order at their
// places in Arial (or its stand-in), the title 16 point bold, and a file that appears complete
// or not at all.

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <memory>

#include "engine/cell_names.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "pdf_probe.h"
#include "report/print_command.h"
#include "report/qt/default_printer.h"
#include "report/report_lines.h"

namespace brimwell {

namespace {

constexpr double kMargin = 36;  // points: half an inch

MemoryCells samplePlan() {
    MemoryCells cells;
    const auto inputs = std::to_array<std::pair<std::string_view, std::string_view>>({
        {cell::txtOriginICAO, "lirf"},
        {cell::txtDestinationICAO, "KJFK"},
        {cell::txtDestinationDistance, "4000"},
        {cell::txtAlternateICAO, "KBOS"},
        {cell::cmbAlternateDistance, "200"},
        {cell::cmbWindDirection, "Head"},
        {cell::txtWindIntensity, "50"},
        {cell::cmbFlightLevel, "FL350"},
        {cell::txtPayLoad, "100000"},
        {cell::txtContingencyTime, "30"},
        {cell::cmbMLF, "19000"},
    });
    for (const auto& [name, text] : inputs) {
        cells.setText(name, text);
    }
    RecordingSink messages;
    if (!FuelPlanner(cells, messages).cmdCalculate_Click()) {
        qFatal("the sample plan does not calculate");
    }
    return cells;
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// The height of one line of Arial at size points, as the printer's own fonts measure it.
double lineSpacing(double points, bool bold) {
    QPdfWriter device(QStringLiteral("/dev/null"));
    device.setResolution(1200);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return QFontMetricsF(font, &device).lineSpacing() * 72.0 / 1200.0;
}

}  // namespace

class PdfPrinterTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir m_folder;

    QString path(const QString& name) const { return m_folder.filePath(name); }

    probe::Page print(const CellReader& cells, const QString& name) {
        const auto printer = openPdfPrinter(path(name).toStdString());
        cmbPrint_Click(cells, *printer);
        return probe::readPage(path(name));
    }

  private Q_SLOTS:
    void initTestCase() { QVERIFY(m_folder.isValid()); }

    void aCalculatedPlanIsOnePageOfThe37LinesInOrder() {
        const MemoryCells cells = samplePlan();
        const probe::Page page = print(cells, QStringLiteral("plan.pdf"));
        QVERIFY2(page.failure.isEmpty(), qPrintable(page.failure));
        QCOMPARE(page.pages, 1);
        const ReportLines lines = buildReportLines(cells);
        QCOMPARE(page.plainLines, probe::plainReport(lines));
        QStringList texts;
        for (const auto& line : page.lines) {
            texts.append(line.text);
        }
        QCOMPARE(texts, probe::inkedReport(lines));
    }

    void theTitleIsBold16PointAndTheRestRegular10PointArial() {
        const probe::Page page = print(samplePlan(), QStringLiteral("fonts.pdf"));
        QVERIFY2(page.failure.isEmpty(), qPrintable(page.failure));
        QVERIFY(!page.fonts.isEmpty());
        bool boldArial = false;
        bool regularArial = false;
        for (const QString& font : page.fonts) {
            QVERIFY2(probe::isArialCompatible(font), qPrintable(font));
            (probe::isBoldName(font) ? boldArial : regularArial) = true;
        }
        QVERIFY2(boldArial, qPrintable(page.fonts.join(QLatin1Char(' '))));
        QVERIFY2(regularArial, qPrintable(page.fonts.join(QLatin1Char(' '))));
        QVERIFY(page.lines.size() == 30);
        QVERIFY(page.lines[0].bold);
        QCOMPARE(page.lines[0].size, 16.0);
        for (qsizetype i = 1; i < page.lines.size(); ++i) {
            QVERIFY2(!page.lines[i].bold, qPrintable(page.lines[i].text));
            QCOMPARE(page.lines[i].size, 10.0);
        }
    }

    // The title at 100 twips (5 pt) across and 200 twips (10 pt) down in the printable area,
    // every other line at its left edge, each one line of the font lower than the last; the
    // empty lines are 10-point lines too.
    void linesStandAtTheirPlaces() {
        const MemoryCells cells = samplePlan();
        const probe::Page page = print(cells, QStringLiteral("places.pdf"));
        QVERIFY2(page.failure.isEmpty(), qPrintable(page.failure));
        const ReportLines lines = buildReportLines(cells);
        QCOMPARE(page.lines.size(), 30);
        constexpr double kTolerance = 0.25;
        QVERIFY2(qAbs(page.lines[0].left - (kMargin + 5)) <= kTolerance,
                 qPrintable(QString::number(page.lines[0].left)));
        QVERIFY2(qAbs(page.lines[0].top - (kMargin + 10)) <= 0.6,
                 qPrintable(QString::number(page.lines[0].top)));

        const double title = lineSpacing(16, true);
        const double pitch = lineSpacing(10, false);
        QVERIFY2(pitch > 10 && pitch < 13, qPrintable(QString::number(pitch)));
        const double secondTop = page.lines[1].top;
        QVERIFY2(qAbs(secondTop - page.lines[0].top - title) <= 0.6,
                 qPrintable(QString::number(secondTop - page.lines[0].top)));
        qsizetype inked = 1;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            if (lines[i].empty()) {
                continue;
            }
            const probe::TextLine& line = page.lines[inked++];
            const double expectedTop = secondTop + static_cast<double>(i - 1) * pitch;
            QVERIFY2(qAbs(line.left - kMargin) <= kTolerance, qPrintable(line.text));
            QVERIFY2(qAbs(line.top - expectedTop) <= kTolerance,
                     qPrintable(line.text + QStringLiteral(": ") + QString::number(line.top) +
                                QStringLiteral(" instead of ") + QString::number(expectedTop)));
        }
    }

    void beforeAnyCalculationTheSchematicHasNoValues() {
        const MemoryCells cells;
        const probe::Page page = print(cells, QStringLiteral("empty.pdf"));
        QVERIFY2(page.failure.isEmpty(), qPrintable(page.failure));
        QCOMPARE(page.pages, 1);
        QCOMPARE(page.plainLines, probe::plainReport(buildReportLines(cells)));
        bool found = false;
        for (const auto& line : page.lines) {
            found = found || line.text == QStringLiteral("(=) Zero Fuel Weight:  lbs");
        }
        QVERIFY(found);
    }

    void twoPressesGiveTwoIdenticalPages() {
        const MemoryCells cells = samplePlan();
        const auto printer = openPdfPrinter(path(QStringLiteral("twice.pdf")).toStdString());
        cmbPrint_Click(cells, *printer);
        const probe::Page first = probe::readPage(path(QStringLiteral("twice.pdf")));
        cmbPrint_Click(cells, *printer);
        const probe::Page second = probe::readPage(path(QStringLiteral("twice.pdf")));
        const probe::Page other = print(cells, QStringLiteral("other.pdf"));
        for (const probe::Page* page : {&first, &second, &other}) {
            QVERIFY2(page->failure.isEmpty(), qPrintable(page->failure));
            QCOMPARE(page->pages, 1);
            QCOMPARE(page->plainLines, first.plainLines);
            QCOMPARE(page->lines.size(), first.lines.size());
            for (qsizetype i = 0; i < first.lines.size(); ++i) {
                QCOMPARE(page->lines[i].text, first.lines[i].text);
                QCOMPARE(page->lines[i].top, first.lines[i].top);
                QCOMPARE(page->lines[i].left, first.lines[i].left);
            }
        }
    }

    void anExistingFileIsReplacedWhole() {
        const QString target = path(QStringLiteral("old.pdf"));
        {
            QFile old(target);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(100000, 'x'));
        }
        const QStringList before = entries(m_folder.path());
        const probe::Page page = print(samplePlan(), QStringLiteral("old.pdf"));
        QVERIFY2(page.failure.isEmpty(), qPrintable(page.failure));
        QCOMPARE(page.pages, 1);
        QCOMPARE(entries(m_folder.path()), before);
        QFile written(target);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.read(5) == "%PDF-");
        QVERIFY(written.size() < 100000);
    }

    // Nothing is on disk until the document is ended; an abandoned one leaves nothing.
    void theFileAppearsOnlyAtTheEndOfTheDocument() {
        const QString target = path(QStringLiteral("later.pdf"));
        const QStringList before = entries(m_folder.path());
        {
            const auto printer = openPdfPrinter(target.toStdString());
            printer->setFontName("Arial");
            printer->setFontSize(10);
            printer->printLine("half a report");
            QVERIFY(!QFile::exists(target));
            QCOMPARE(entries(m_folder.path()), before);
        }
        QVERIFY(!QFile::exists(target));
        QCOMPARE(entries(m_folder.path()), before);
    }

    void anUnwritablePathIsAPrintErrorAndLeavesNoFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder")
            << QStringLiteral("no/such/folder/plan.pdf") << QStringLiteral("no/such/folder");
        QTest::newRow("folder is a file")
            << QStringLiteral("a-file/plan.pdf") << QStringLiteral("a-file");
        QTest::newRow("path is a folder")
            << QStringLiteral("a-folder") << QStringLiteral("a-folder");
        QTest::newRow("no name") << QString() << QStringLiteral("no file name");
    }

    void anUnwritablePathIsAPrintErrorAndLeavesNoFile() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QFile file(folder.filePath(QStringLiteral("a-file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("a-folder")));
        const QStringList before = entries(folder.path());
        const std::string target =
            name.isEmpty() ? std::string() : folder.filePath(name).toStdString();
        const MemoryCells cells = samplePlan();
        try {
            const auto printer = openPdfPrinter(target);
            cmbPrint_Click(cells, *printer);
            QFAIL("no PrintError");
        } catch (const PrintError& error) {
            const QString message = QString::fromUtf8(error.what());
            QVERIFY2(message.contains(reason), qPrintable(message));
        }
        QCOMPARE(entries(folder.path()), before);
        QVERIFY(entries(folder.filePath(QStringLiteral("a-folder"))).isEmpty());
    }
};

}  // namespace brimwell

QTEST_MAIN(brimwell::PdfPrinterTest)
#include "pdf_printer_test.moc"
