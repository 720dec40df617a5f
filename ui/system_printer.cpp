#include "ui/system_printer.h"

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>
#include <QPromise>
#include <QString>
#include <QTimer>
#include <array>
#include <atomic>
#include <string>
#include <thread>
#include <utility>

#include "modules/module_loader.h"
#include "report/recorded_page.h"
#include "ui/print_module.h"

namespace brimwell::ui {

namespace {

// Called on the window's thread only.
PrintModuleEntry loadModule() {
    try {
        return moduleFunction<PrintModuleEntry>("brimwell-print.so", kPrintModuleEntry);
    } catch (const ModuleError& error) {
        throw PrintError(error.what());
    }
}

// Waits, on the window's thread, for one page on its way to the spooler: whichever comes first,
// the outcome or the bound, is reported once; the other is ignored.
class PrintWatch final : public QObject {
  public:
    PrintWatch(QObject& context, const QFuture<std::string>& outcome,
               std::shared_ptr<std::atomic<bool>> abandoned, std::chrono::milliseconds bound,
               PrintFailure failed)
        : QObject(&context), m_abandoned(std::move(abandoned)), m_failed(std::move(failed)) {
        connect(&m_outcome, &QFutureWatcherBase::finished, this, [this] {
            end(m_outcome.future().resultCount() > 0 ? m_outcome.result()
                                                     : std::string("the print job was lost"));
        });
        m_deadline.setSingleShot(true);
        m_deadline.setTimerType(Qt::PreciseTimer);
        connect(&m_deadline, &QTimer::timeout, this, [this, bound] {
            m_abandoned->store(true);
            const double seconds = static_cast<double>(bound.count()) / 1000.0;
            end("the printer did not answer within " + QString::number(seconds).toStdString() +
                (bound == std::chrono::seconds(1) ? " second" : " seconds"));
        });
        m_outcome.setFuture(outcome);
        m_deadline.start(bound);
    }

  private:
    // An empty reason means printed.
    void end(const std::string& reason) {
        if (m_ended) {
            return;
        }
        m_ended = true;
        m_deadline.stop();
        deleteLater();
        if (!reason.empty()) {
            m_failed(PrintError(reason));
        }
    }

    QFutureWatcher<std::string> m_outcome;
    QTimer m_deadline;
    std::shared_ptr<std::atomic<bool>> m_abandoned;
    PrintFailure m_failed;
    bool m_ended = false;
};

class SystemPrinter final : public Printer {
  public:
    SystemPrinter(QObject& context, std::chrono::milliseconds bound, PrintFailure failed)
        : m_context(context), m_bound(bound), m_failed(std::move(failed)) {}

    void setFontName(std::string_view name) override { m_page.setFontName(name); }
    void setFontSize(double points) override { m_page.setFontSize(points); }
    void setCurrentX(int twips) override { m_page.setCurrentX(twips); }
    void setCurrentY(int twips) override { m_page.setCurrentY(twips); }
    void setBold(bool bold) override { m_page.setBold(bold); }
    void printLine(std::string_view text) override { m_page.printLine(text); }

    void endDoc() override {
        m_page.endDoc();
        const PrintModuleEntry print = loadModule();
        auto abandoned = std::make_shared<std::atomic<bool>>(false);
        QPromise<std::string> promise;
        const QFuture<std::string> outcome = promise.future();
        // The thread may outlive the wait, and the window, when the print service never
        // answers; it holds all it needs.
        std::thread([print, page = std::exchange(m_page, {}), abandoned,
                     promise = std::move(promise)]() mutable {
            promise.start();
            std::array<char, 1024> error{};
            const bool printed = print(page, *abandoned, error.data(), error.size());
            promise.addResult(printed ? std::string() : std::string(error.data()));
            promise.finish();
        }).detach();
        new PrintWatch(m_context, outcome, abandoned, m_bound, m_failed);
    }

  private:
    QObject& m_context;
    std::chrono::milliseconds m_bound;
    PrintFailure m_failed;
    RecordedPage m_page;
};

}  // namespace

std::unique_ptr<Printer> openSystemPrinter(QObject& context, std::chrono::milliseconds bound,
                                           PrintFailure failed) {
    return std::make_unique<SystemPrinter>(context, bound, std::move(failed));
}

}  // namespace brimwell::ui
