#pragma once

// Reads back a printed page with the poppler tools: the number of pages, every text line with
// its place, size and weight, the plain text and the embedded fonts. Shared by the PDF printer
// test and the print spooler test.

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <optional>

#include "report/report_lines.h"

namespace brimwell::probe {

// One line of text on the page. Places and sizes are in points from the page's top-left corner.
struct TextLine {
    QString text;
    double left = 0;
    double top = 0;
    double size = 0;
    bool bold = false;
};

struct Page {
    int pages = 0;
    QList<TextLine> lines;   // in reading order, empty lines are not on the page
    QStringList plainLines;  // pdftotext -layout, blanks simplified, trailing empties dropped
    QStringList fonts;       // names of the fonts the file uses
    QString failure;         // why the file could not be read; empty when it could
};

inline QString run(const QString& program, const QStringList& arguments, QString& failure) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        failure += program + QStringLiteral(" failed: ") +
                   QString::fromLocal8Bit(process.readAllStandardError()) + process.errorString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline QString unescapeXml(QString text) {
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
    text.replace(QStringLiteral("&#34;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&#39;"), QStringLiteral("'"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

inline Page readPage(const QString& path) {
    Page page;
    if (!QFile::exists(path)) {
        page.failure = path + QStringLiteral(" does not exist");
        return page;
    }
    const QString info = run(QStringLiteral("pdfinfo"), {path}, page.failure);
    const auto pages = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                          QRegularExpression::MultilineOption)
                           .match(info);
    page.pages = pages.hasMatch() ? pages.captured(1).toInt() : 0;

    // Texts, sizes and weights from pdftohtml; the places, to a fraction of a point, from the
    // lines of pdftotext's bounding boxes, which come in the same order.
    const QString xml =
        run(QStringLiteral("pdftohtml"),
            {QStringLiteral("-xml"), QStringLiteral("-stdout"), QStringLiteral("-i"),
             QStringLiteral("-q"), QStringLiteral("-zoom"), QStringLiteral("1"), path},
            page.failure);
    QMap<QString, double> fontSizes;
    const QRegularExpression fontSpec(
        QStringLiteral("<fontspec id=\"(\\d+)\" size=\"(-?[\\d.]+)\""));
    for (auto it = fontSpec.globalMatch(xml); it.hasNext();) {
        const auto m = it.next();
        fontSizes[m.captured(1)] = m.captured(2).toDouble();
    }
    const QRegularExpression textLine(
        QStringLiteral("<text top=\"-?\\d+\" left=\"-?\\d+\" width=\"\\d+\" "
                       "height=\"\\d+\" font=\"(\\d+)\">(.*)</text>"));
    for (auto it = textLine.globalMatch(xml); it.hasNext();) {
        const auto m = it.next();
        QString body = m.captured(2);
        TextLine line;
        line.size = fontSizes.value(m.captured(1));
        line.bold = body.startsWith(QStringLiteral("<b>"));
        body.remove(QRegularExpression(QStringLiteral("</?[bi]>")));
        line.text = unescapeXml(body);
        page.lines.append(line);
    }
    const QString boxes =
        run(QStringLiteral("pdftotext"),
            {QStringLiteral("-bbox-layout"), path, QStringLiteral("-")}, page.failure);
    const QRegularExpression boxLine(
        QStringLiteral("<line xMin=\"(-?[\\d.]+)\" yMin=\"(-?[\\d.]+)\""));
    qsizetype index = 0;
    for (auto it = boxLine.globalMatch(boxes); it.hasNext(); ++index) {
        const auto m = it.next();
        if (index < page.lines.size()) {
            page.lines[index].left = m.captured(1).toDouble();
            page.lines[index].top = m.captured(2).toDouble();
        }
    }
    if (index != page.lines.size()) {
        page.failure += QStringLiteral("pdftohtml and pdftotext see different lines");
    }

    const QString plain = run(QStringLiteral("pdftotext"),
                              {QStringLiteral("-layout"), path, QStringLiteral("-")}, page.failure);
    for (const QString& line : plain.split(QLatin1Char('\n'))) {
        page.plainLines.append(QString(line).remove(QLatin1Char('\f')).simplified());
    }
    while (!page.plainLines.isEmpty() && page.plainLines.last().isEmpty()) {
        page.plainLines.removeLast();
    }

    const QString fonts = run(QStringLiteral("pdffonts"), {path}, page.failure);
    const QStringList rows = fonts.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 2; i < rows.size(); ++i) {
        page.fonts.append(rows[i].section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty));
    }
    return page;
}

// The report lines as pdftotext shows them: blanks simplified.
inline QStringList plainReport(const ReportLines& lines) {
    QStringList plain;
    for (const std::string& line : lines) {
        plain.append(QString::fromStdString(line).simplified());
    }
    return plain;
}

// The lines of the report that put ink on the page, exactly.
inline QStringList inkedReport(const ReportLines& lines) {
    QStringList inked;
    for (const std::string& line : lines) {
        if (!line.empty()) {
            inked.append(QString::fromStdString(line));
        }
    }
    return inked;
}

// A font that stands in for Arial: Arial itself or one of its metric-compatible twins.
inline bool isArialCompatible(const QString& fontName) {
    static const QRegularExpression arial(QStringLiteral("(^|\\+)(Arial|LiberationSans|Arimo)"),
                                          QRegularExpression::CaseInsensitiveOption);
    return arial.match(fontName).hasMatch();
}

inline bool isBoldName(const QString& fontName) {
    return fontName.contains(QStringLiteral("Bold"), Qt::CaseInsensitive);
}

}  // namespace brimwell::probe
