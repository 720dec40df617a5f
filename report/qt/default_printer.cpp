#include "report/qt/default_printer.h"

#include <cups/cups.h>
#include <sys/stat.h>

#include <QDir>
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
#include <system_error>
#include <utility>
#include <vector>

namespace brimwell {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kPdfMarginInches = 0.5;
constexpr const char* kDocumentName = "Boeing 747-400 - Fuel Planning Schematic";

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

// A QPrinter that draws PDF at its high resolution.
std::unique_ptr<QPrinter> pdfDevice() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setDocName(QString::fromLatin1(kDocumentName));
    printer->setCreator(QStringLiteral("Brimwell v2.0"));
    return printer;
}

// One line of the page as it will be drawn: the font it was printed in and where its baseline
// starts, in the device pixels of the printer.
struct PageLine {
    QFont font;
    QPointF baseline;
    QString text;
};

// Where the page goes: a queue of the print spooler, or a PDF file.
struct Destination {
    QString queue;    // the spooler's name of the printer; empty for a file
    QString pdfPath;  // the file; empty for a queue
};

// The printer operations on a QPrinter that draws PDF. The page is collected line by line and
// drawn as one document at endDoc, so that a report abandoned half-way (an error between two
// lines) never reaches the printer or the file as a partial page. For a queue the page is then
// handed to the spooler, whose answer tells whether it took the job.
class QtPrinter final : public Printer {
  public:
    QtPrinter(std::unique_ptr<QPrinter> printer, Destination destination)
        : m_printer(std::move(printer)), m_destination(std::move(destination)) {
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
        if (m_destination.queue.isEmpty()) {
            writePdf(page);
        } else {
            sendToQueue(page);
        }
    }

  private:
    // Draws the page into the PDF file at path.
    void draw(const std::vector<PageLine>& page, const QString& path) {
        m_printer->setOutputFileName(path);
        QPainter painter;
        if (!painter.begin(m_printer.get())) {
            throw PrintError("the page could not be started in " + toStd(path));
        }
        for (const PageLine& line : page) {
            painter.setFont(line.font);
            painter.drawText(line.baseline, line.text);
        }
        const bool ended = painter.end();
        const QPrinter::PrinterState state = m_printer->printerState();
        if (!ended || state == QPrinter::Error || state == QPrinter::Aborted) {
            throw PrintError("the page could not be completed in " + toStd(path));
        }
    }

    void sendToQueue(const std::vector<PageLine>& page) {
        const std::string queue = toStd(m_destination.queue);
        QTemporaryFile document(QDir::tempPath() + QStringLiteral("/brimwell-report-XXXXXX.pdf"));
        if (!document.open()) {
            throw PrintError("the page for the printer " + queue +
                             " could not be prepared: " + toStd(document.errorString()));
        }
        document.close();
        draw(page, document.fileName());
        // The spooler copies the file before it answers, so it may go when this returns.
        const QByteArray file = QFile::encodeName(document.fileName());
        const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.c_str(), file.constData(),
                                       kDocumentName, 0, nullptr);
        if (job == 0) {
            throw PrintError("the printer " + queue +
                             " did not take the job: " + cupsLastErrorString());
        }
    }

    void writePdf(const std::vector<PageLine>& page) {
        const QFileInfo target(m_destination.pdfPath);
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

        draw(page, part.fileName());

        const QByteArray targetName = QFile::encodeName(target.absoluteFilePath());
        if (std::rename(partName.constData(), targetName.constData()) != 0) {
            const int error = errno;
            throw PrintError("the file " + toStd(target.absoluteFilePath()) +
                             " cannot be written: " + std::generic_category().message(error));
        }
        part.setAutoRemove(false);
    }

    std::unique_ptr<QPrinter> m_printer;
    Destination m_destination;
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
    const QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid()) {
        throw PrintError("the default printer " + toStd(info.printerName()) + " is not available");
    }
    // The page is drawn as PDF on the printer's own paper and printable area, and handed to the
    // spooler, which takes PDF from every program.
    auto device = pdfDevice();
    device->setPageLayout(printer.pageLayout());
    return std::make_unique<QtPrinter>(std::move(device), Destination{info.printerName(), {}});
}

std::unique_ptr<Printer> openPdfPrinter(const std::string& path) {
    requireApplication();
    if (path.empty()) {
        throw PrintError("no file name was given for the PDF file");
    }
    auto device = pdfDevice();
    // A file has no unprintable border of its own; half an inch all round keeps the page
    // printable in full on any printer it is later sent to.
    device->setPageMargins(
        QMarginsF(kPdfMarginInches, kPdfMarginInches, kPdfMarginInches, kPdfMarginInches),
        QPageLayout::Inch);
    return std::make_unique<QtPrinter>(std::move(device),
                                       Destination{{}, QString::fromStdString(path)});
}

}  // namespace brimwell
