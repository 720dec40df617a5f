#include "report/qt/default_printer.h"

#include <sys/stat.h>

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace brimwell {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kPdfMarginInches = 0.5;
constexpr char kDocumentName[] = "Boeing 747-400 - Fuel Planning Schematic";

std::string toStd(const QString& text) {
    return text.toUtf8().toStdString();
}

QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void requireApplication() {
    if (QGuiApplication::instance() == nullptr) {
        throw PrintError("the printer can only be used while the program's window system runs");
    }
}

// One line of the page as it will be drawn: the font it was printed in and where its baseline
// starts, in the printer's device pixels.
struct PageLine {
    QFont font;
    QPointF baseline;
    QString text;
};

// The printer operations on a QPrinter. The page is collected line by line and drawn as one job
// at endDoc, so that a report abandoned half-way (an error between two lines) never reaches the
// printer or the file as a partial page.
class QtPrinter final : public Printer {
  public:
    // pdfPath empty: the job goes to the printer that printer is set up for. Otherwise the page
    // is written as PDF into a new file beside pdfPath, which replaces pdfPath once complete.
    QtPrinter(std::unique_ptr<QPrinter> printer, QString pdfPath)
        : m_printer(std::move(printer)), m_pdfPath(std::move(pdfPath)) {
        m_font.setFamily(QStringLiteral("Arial"));
        m_font.setPointSizeF(10);
    }

    void setFontName(std::string_view name) override { m_font.setFamily(fromStd(name)); }

    void setFontSize(double points) override {
        if (!(points > 0)) {
            throw PrintError("a font size must be above 0 points");
        }
        m_font.setPointSizeF(points);
    }

    void setCurrentX(int twips) override { m_x = twips * m_printer->logicalDpiX() / kTwipsPerInch; }

    void setCurrentY(int twips) override { m_y = twips * m_printer->logicalDpiY() / kTwipsPerInch; }

    void setBold(bool bold) override { m_font.setBold(bold); }

    void printLine(std::string_view text) override {
        const QFontMetricsF metrics(m_font, m_printer.get());
        m_page.push_back(PageLine{m_font, QPointF(m_x, m_y + metrics.ascent()), fromStd(text)});
        m_x = 0;
        m_y += metrics.lineSpacing();
    }

    void endDoc() override {
        if (m_page.empty()) {
            return;  // nothing was printed, so there is no page to release
        }
        const std::vector<PageLine> page = std::exchange(m_page, {});
        m_x = 0;
        m_y = 0;
        if (m_pdfPath.isEmpty()) {
            drawJob(page);
        } else {
            writePdf(page);
        }
    }

  private:
    QString printerName() const {
        return m_pdfPath.isEmpty() ? m_printer->printerName() : m_pdfPath;
    }

    void drawJob(const std::vector<PageLine>& page) {
        QPainter painter;
        if (!painter.begin(m_printer.get())) {
            throw PrintError(m_pdfPath.isEmpty() ? "the printer " + toStd(printerName()) +
                                                       " could not start the job"
                                                 : "the PDF file could not be started");
        }
        for (const PageLine& line : page) {
            painter.setFont(line.font);
            painter.drawText(line.baseline, line.text);
        }
        const bool ended = painter.end();
        const QPrinter::PrinterState state = m_printer->printerState();
        if (!ended || state == QPrinter::Error || state == QPrinter::Aborted) {
            throw PrintError(m_pdfPath.isEmpty()
                                 ? "the printer " + toStd(printerName()) + " failed the job"
                                 : "the PDF file could not be completed");
        }
    }

    void writePdf(const std::vector<PageLine>& page) {
        const QFileInfo target(m_pdfPath);
        const QString folder = target.absolutePath();
        // The page goes into a hidden file of its own beside the target first; only a complete
        // file replaces the target, so a failure leaves neither a partial file nor a damaged
        // old one. The temporary file removes itself unless it was renamed.
        QTemporaryFile part(folder + QStringLiteral("/.") + target.fileName() +
                            QStringLiteral(".XXXXXX.pdf"));
        if (!part.open()) {
            throw PrintError("the folder " + toStd(folder) +
                             " cannot be written: " + toStd(part.errorString()));
        }
        part.close();
        // An ordinary file, not the owner-only one a temporary file is made as.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        const QByteArray partName = QFile::encodeName(part.fileName());
        ::chmod(partName.constData(), 0666 & ~mask);

        m_printer->setOutputFileName(part.fileName());
        drawJob(page);

        const QByteArray targetName = QFile::encodeName(target.absoluteFilePath());
        if (std::rename(partName.constData(), targetName.constData()) != 0) {
            const int error = errno;
            throw PrintError("the file " + toStd(target.absoluteFilePath()) +
                             " cannot be written: " + std::strerror(error));
        }
        part.setAutoRemove(false);
    }

    std::unique_ptr<QPrinter> m_printer;
    QString m_pdfPath;
    QFont m_font;
    double m_x = 0;
    double m_y = 0;
    std::vector<PageLine> m_page;
};

}  // namespace

std::unique_ptr<Printer> openDefaultPrinter() {
    requireApplication();
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QStringList installed = QPrinterInfo::availablePrinterNames();
        if (installed.isEmpty()) {
            throw PrintError("no printer is installed, or the print service is not running");
        }
        throw PrintError("no default printer is chosen (installed: " +
                         toStd(installed.join(QStringLiteral(", "))) + ")");
    }
    if (info.state() == QPrinter::Error) {
        throw PrintError("the default printer " + toStd(info.printerName()) +
                         " is stopped or in error");
    }
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!printer->isValid()) {
        throw PrintError("the default printer " + toStd(info.printerName()) + " is not available");
    }
    printer->setDocName(QString::fromLatin1(kDocumentName));
    printer->setCopyCount(1);
    return std::make_unique<QtPrinter>(std::move(printer), QString());
}

std::unique_ptr<Printer> openPdfPrinter(const std::string& path) {
    requireApplication();
    if (path.empty()) {
        throw PrintError("no file name was given for the PDF file");
    }
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setDocName(QString::fromLatin1(kDocumentName));
    printer->setCreator(QStringLiteral("Brimwell v2.0"));
    // A file has no unprintable border of its own; half an inch all round keeps the page
    // printable in full on any printer it is later sent to.
    printer->setPageMargins(
        QMarginsF(kPdfMarginInches, kPdfMarginInches, kPdfMarginInches, kPdfMarginInches),
        QPageLayout::Inch);
    return std::make_unique<QtPrinter>(std::move(printer), QString::fromStdString(path));
}

}  // namespace brimwell
