#include "report/qt/pdf_printer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLocale>
#include <QMarginsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QString>
#include <cerrno>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace brimwell::report {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr int kDotsPerInch = 1200;
constexpr double kPaperMarginInches = 0.5;
constexpr const char* kDocumentName = "Boeing 747-400 - Fuel Planning Schematic";

std::string toStd(const QString& text) {
    return text.toUtf8().toStdString();
}

QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// One line of the page as it will be drawn: the font it was printed in and where its baseline
// starts, in the device pixels of the writer.
struct PageLine {
    QFont font;
    QPointF baseline;
    QString text;
};

// The printer operations on a PDF writer. The page is collected line by line and drawn as one
// document at endDoc, so that a report abandoned half-way (an error between two lines) never
// becomes a partial page.
class PdfDrawer final : public Printer {
  public:
    explicit PdfDrawer(QPdfWriter& writer) : m_writer(writer) {
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

    void setCurrentX(int twips) override { m_x = twips * m_writer.logicalDpiX() / kTwipsPerInch; }

    void setCurrentY(int twips) override { m_y = twips * m_writer.logicalDpiY() / kTwipsPerInch; }

    void setBold(bool bold) override { m_font.setBold(bold); }

    void printLine(std::string_view text) override {
        const QFontMetricsF metrics(m_font, &m_writer);
        m_page.push_back(PageLine{m_font, QPointF(m_x, m_y + metrics.ascent()), fromStd(text)});
        m_x = 0;
        m_y += metrics.lineSpacing();
    }

    void endDoc() override {
        QPainter painter;
        if (!painter.begin(&m_writer)) {
            throw PrintError("the page could not be started");
        }
        for (const PageLine& line : std::exchange(m_page, {})) {
            painter.setFont(line.font);
            painter.drawText(line.baseline, line.text);
        }
        if (!painter.end()) {
            throw PrintError("the page could not be completed");
        }
    }

  private:
    QPdfWriter& m_writer;
    QFont m_font;
    double m_x = 0;
    double m_y = 0;
    std::vector<PageLine> m_page;
};

// Gives the new file that QSaveFile is about to put in place of the target the target's owner,
// group and mode. QSaveFile gives it the mode as Qt reads the permissions, in which whoever may
// write the file counts as its owner: so for root, who may write anything, 0444 became 0644;
// and the new file belongs to whoever writes it. Where the owner cannot be kept (a user other
// than root writing over another's file), nothing is written.
void keepOwnerAndMode(QSaveFile& file, const QString& path) {
    struct stat target {};
    if (::stat(QFile::encodeName(path).constData(), &target) != 0) {
        return;  // a new file: 0666 less the umask, and the writer's
    }
    struct stat written {};
    const int descriptor = file.handle();
    const auto failed = [](const std::string& what) {
        return PrintError(what + ": " + std::generic_category().message(errno));
    };
    if (::fstat(descriptor, &written) != 0) {
        throw failed("the new file cannot be read");
    }
    if ((written.st_uid != target.st_uid || written.st_gid != target.st_gid) &&
        ::fchown(descriptor, target.st_uid, target.st_gid) != 0) {
        throw failed("its owner (user " + std::to_string(target.st_uid) + ", group " +
                     std::to_string(target.st_gid) + ") cannot be kept");
    }
    // After the owner, which clears the set-user-ID and set-group-ID bits.
    if (::fchmod(descriptor, target.st_mode & 07777U) != 0) {
        throw failed("its mode cannot be kept");
    }
}

// Writes the page into the file at path.
void writePdfFile(const RecordedPage& page, const QString& path) {
    const QByteArray pdf = drawPdfPage(page, localPaper());
    const auto cannotWrite = [](const QFileDevice& file) {
        return PrintError(toStd(file.errorString()));
    };
    const QFileInfo target(path);
    // A device or a pipe (/dev/stdout) is written as it is, never replaced by a file.
    if (target.exists() && !target.isFile() && !target.isDir()) {
        QFile device(path);
        if (!device.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
            device.write(pdf) != pdf.size()) {
            throw cannotWrite(device);
        }
        return;
    }
    // The page goes into a new file beside the target first, which replaces the target only
    // when it is complete; QSaveFile follows a link.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size()) {
        throw cannotWrite(file);
    }
    keepOwnerAndMode(file, path);
    if (!file.commit()) {
        throw cannotWrite(file);
    }
}

}  // namespace

QByteArray drawPdfPage(const RecordedPage& page, const QPageLayout& layout) {
    if (QGuiApplication::instance() == nullptr) {
        throw PrintError("the page can only be drawn while the program's window system runs");
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kDotsPerInch);
    writer.setTitle(QString::fromLatin1(kDocumentName));
    writer.setCreator(QStringLiteral("Brimwell v2.0"));
    if (!writer.setPageLayout(layout)) {
        throw PrintError("the printer's paper cannot be drawn on");
    }
    PdfDrawer drawer(writer);
    page.playOn(drawer);
    return buffer.data();
}

QPageLayout localPaper() {
    const bool letter = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    return {
        QPageSize(letter ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
        QMarginsF(kPaperMarginInches, kPaperMarginInches, kPaperMarginInches, kPaperMarginInches),
        QPageLayout::Inch};
}

std::unique_ptr<Printer> openPdfPrinter(const std::string& path) {
    if (path.empty()) {
        throw PrintError("no file name was given for the PDF file");
    }
    return collectPage([path = QString::fromStdString(path)](const RecordedPage& page) {
        writePdfFile(page, path);
    });
}

}  // namespace brimwell::report
