#include "ui/system_printer.h"

#include <QMarginsF>
#include <QObject>
#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <QTimer>
#include <optional>
#include <thread>
#include <utility>

#include "modules/module_loader.h"
#include "report/print_command.h"
#include "report/qt/pdf_printer.h"
#include "report/recorded_page.h"
#include "ui/print_module.h"

namespace brimwell::ui {

namespace {

struct PrintModule {
    print::FindPrinter findPrinter = nullptr;
    print::SendPage sendPage = nullptr;
};

PrintModule loadPrintModule() {
    try {
        return {moduleFunction<print::FindPrinter>(print::kModuleFile, print::kFindPrinter),
                moduleFunction<print::SendPage>(print::kModuleFile, print::kSendPage)};
    } catch (const ModuleError& error) {
        throw PrintError(error.what());
    }
}

// The printer's paper, or the pilot's country's where the printer does not say.
QPageLayout layoutOf(const print::Paper& paper) {
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
// spooler runs on a thread of its own, which posts its outcome back here as its last act; the
// deadline tells the pilot once the bound has passed. Whichever comes first is told, once.
class PrintJob final : public QObject {
  public:
    PrintJob(RecordedPage page, PrintModule module, std::chrono::milliseconds bound,
             std::function<void(const std::string&)> tell)
        : m_page(std::move(page)), m_module(module), m_tell(std::move(tell)) {
        m_deadline.setSingleShot(true);
        m_deadline.setTimerType(Qt::PreciseTimer);
        connect(&m_deadline, &QTimer::timeout, this, [this, bound] { boundPassed(bound); });
        m_deadline.start(bound);
        m_thread = std::thread([this] {
            std::string queue;
            print::Paper paper;
            std::string error;
            const bool found = m_module.findPrinter(m_exchange, queue, paper, error);
            QMetaObject::invokeMethod(
                this, [=, this] { printerFound(found, queue, paper, error); },
                Qt::QueuedConnection);
        });
    }

    ~PrintJob() override {
        m_exchange.closing = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

    Q_DISABLE_COPY_MOVE(PrintJob)

    // Whether the spooler has given its last answer about this page (or never will).
    bool ended() const { return m_ended; }

  private:
    void printerFound(bool found, const std::string& queue, const print::Paper& paper,
                      const std::string& error) {
        m_thread.join();
        if (!found || m_told) {
            end(found ? std::nullopt : std::optional(error));
            return;
        }
        std::string pdf;
        try {
            const QByteArray drawn = drawPdfPage(m_page, layoutOf(paper));
            pdf.assign(drawn.constData(), static_cast<std::size_t>(drawn.size()));
        } catch (const PrintError& failure) {
            end(failure.what());
            return;
        }
        m_thread = std::thread([this, queue, pdf = std::move(pdf)] {
            std::string reason;
            const bool sent = m_module.sendPage(m_exchange, queue, pdf, reason);
            QMetaObject::invokeMethod(
                this, [this, sent, reason] { end(sent ? std::nullopt : std::optional(reason)); },
                Qt::QueuedConnection);
        });
    }

    // The spooler's last answer: printed, or the reason why not.
    void end(const std::optional<std::string>& failure) {
        if (m_thread.joinable()) {
            m_thread.join();
        }
        m_ended = true;
        m_deadline.stop();
        if (failure && !m_told) {
            m_tell(notPrinted(*failure));
        }
    }

    void boundPassed(std::chrono::milliseconds bound) {
        m_exchange.abandoned = true;
        m_told = true;
        const QString seconds = QString::number(static_cast<double>(bound.count()) / 1000.0);
        const std::string late = "the printer did not answer within " + seconds.toStdString() +
                                 (bound == std::chrono::seconds(1) ? " second" : " seconds");
        // Only a release already on its way may still make the page print.
        m_tell(m_exchange.stage == print::Stage::Releasing
                   ? "The report may still be printed: " + late
                   : notPrinted(late));
    }

    RecordedPage m_page;
    PrintModule m_module;
    std::function<void(const std::string&)> m_tell;
    print::Exchange m_exchange;
    QTimer m_deadline;
    std::thread m_thread;
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
    const PrintModule module = loadPrintModule();
    return collectPage([this, module](RecordedPage page) {
        m_job = std::make_unique<PrintJob>(std::move(page), module, m_bound, m_tell);
    });
}

}  // namespace brimwell::ui
