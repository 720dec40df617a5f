#include "ui/system_printer.h"

#include <QMarginsF>
#include <QObject>
#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <QTimer>
#include <utility>

#include "links/cups/print_spooler.h"
#include "report/print_command.h"
#include "report/qt/pdf_printer.h"
#include "report/recorded_page.h"
#include "ui/background_work.h"

namespace brimwell::ui {

using report::collectPage;
using report::drawPdfPage;
using report::localPaper;
using report::Printer;
using report::PrintError;
using report::printFailureMessage;
using report::RecordedPage;

namespace {

using links::DefaultPrinter;
using links::Done;
using links::LinkControl;
using links::Outcome;

// The printer's paper, or the pilot's country's where the printer does not say.
QPageLayout layoutOf(const links::Paper& paper) {
    if (paper.width <= 0 || paper.length <= 0) {
        return localPaper();
    }
    constexpr double kMillimetre = 100.0;  // the paper is in hundredths of a millimetre
    return {QPageSize(QSizeF(paper.width / kMillimetre, paper.length / kMillimetre),
                      QPageSize::Millimeter),
            QPageLayout::Portrait,
            QMarginsF(paper.left / kMillimetre, paper.top / kMillimetre, paper.right / kMillimetre,
                      paper.bottom / kMillimetre),
            QPageLayout::Millimeter};
}

std::string notPrinted(const std::string& reason) {
    return printFailureMessage(PrintError(reason));
}

}  // namespace

// One page on its way to the spooler, on the window's thread. Each step that may wait for the
// spooler is work off the window's thread, whose outcome comes back here; the deadline tells the
// pilot once the bound has passed. Whichever comes first is told, once.
class PrintJob final : public QObject {
  public:
    PrintJob(RecordedPage page, std::chrono::milliseconds bound,
             std::function<void(const std::string&)> tell)
        : m_page(std::move(page)), m_tell(std::move(tell)) {
        m_deadline.setSingleShot(true);
        m_deadline.setTimerType(Qt::PreciseTimer);
        connect(&m_deadline, &QTimer::timeout, this, [this, bound] { boundPassed(bound); });
        m_deadline.start(bound);
        m_step = runInBackground<Outcome<DefaultPrinter>>(
            *this, "the search for the printer", links::findDefaultPrinter,
            [this](const Outcome<DefaultPrinter>& found) { printerFound(found); },
            [](std::string reason) { return links::Refused{std::move(reason)}; });
    }

    ~PrintJob() override = default;
    Q_DISABLE_COPY_MOVE(PrintJob)

    // Whether the spooler has given its last answer about this page (or never will).
    bool ended() const { return m_ended; }

  private:
    void printerFound(const Outcome<DefaultPrinter>& found) {
        const DefaultPrinter* printer = found.valueIf();
        if (printer == nullptr || m_told) {
            end(printer == nullptr ? Outcome<Done>(found.refused()) : Done{});
            return;
        }
        std::string pdf;
        try {
            const QByteArray drawn = drawPdfPage(m_page, layoutOf(printer->paper));
            pdf.assign(drawn.constData(), static_cast<std::size_t>(drawn.size()));
        } catch (const PrintError& failure) {
            end(links::Refused{failure.what()});
            return;
        }
        m_step = runInBackground<Outcome<Done>>(
            *this, "the handing of the page to the printer",
            [queue = printer->queue, pdf = std::move(pdf)](LinkControl& control) {
                return links::sendPage(queue, pdf, control);
            },
            [this](const Outcome<Done>& sent) { end(sent); },
            [](std::string reason) { return links::Refused{std::move(reason)}; });
    }

    // The spooler's last answer: printed, or the reason why not.
    void end(const Outcome<Done>& sent) {
        m_ended = true;
        m_deadline.stop();
        if (!sent.done() && !m_told) {
            m_tell(notPrinted(sent.refused().reason));
        }
    }

    void boundPassed(std::chrono::milliseconds bound) {
        m_step->abandon();
        m_told = true;
        const std::string late = "the printer did not answer " + links::withinSeconds(bound);
        // Only a release already on its way may still make the page print.
        m_tell(links::printStage(m_step->control()) == links::PrintStage::Releasing
                   ? "The report may still be printed: " + late
                   : notPrinted(late));
    }

    RecordedPage m_page;
    std::function<void(const std::string&)> m_tell;
    QTimer m_deadline;
    std::unique_ptr<BackgroundWork> m_step;  // last: stopped and waited for first
    bool m_told = false;
    bool m_ended = false;
};

SystemPrinter::SystemPrinter(std::function<void(const std::string&)> tell)
    : m_tell(std::move(tell)) {}

SystemPrinter::~SystemPrinter() = default;

void SystemPrinter::setAnswerBound(std::chrono::milliseconds bound) {
    m_bound = bound;
}

std::unique_ptr<Printer> SystemPrinter::open() {
    if (m_job != nullptr && !m_job->ended()) {
        throw PrintError("the printer has not yet answered about the last report");
    }
    m_job.reset();
    return collectPage([this](RecordedPage page) {
        m_job = std::make_unique<PrintJob>(std::move(page), m_bound, m_tell);
    });
}

}  // namespace brimwell::ui
