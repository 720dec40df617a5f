#include "ui/system_printer.h"

#include <dlfcn.h>

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>
#include <QPromise>
#include <QString>
#include <QTimer>
#include <array>
#include <atomic>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "report/recorded_page.h"
#include "ui/print_module.h"

namespace brimwell::ui {

namespace {

// Where the module is: in the installation's library directory, found from the program's own
// place, else where the build tree made it.
std::filesystem::path modulePath() {
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (!failed) {
        std::filesystem::path installed =
            (program.parent_path() / BRIMWELL_PRINT_MODULE_INSTALLED).lexically_normal();
        if (std::filesystem::exists(installed, failed)) {
            return installed;
        }
    }
    return BRIMWELL_PRINT_MODULE_BUILT;
}

// Called on the window's thread only.
PrintModuleEntry loadModule() {
    // Loaded once and kept: Qt does not take to being unloaded.
    static PrintModuleEntry entry = nullptr;
    if (entry != nullptr) {
        return entry;
    }
    const std::string path = modulePath().string();
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        // NOLINTNEXTLINE(concurrency-mt-unsafe): only the window's thread loads the module
        const char* reason = dlerror();
        throw PrintError("the printer module " + path + " cannot be loaded" +
                         (reason != nullptr ? std::string(": ") + reason : std::string()));
    }
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): dlsym gives the entry as void*
    entry = reinterpret_cast<PrintModuleEntry>(dlsym(module, kPrintModuleEntry));
    if (entry == nullptr) {
        throw PrintError("the printer module " + path + " has no entry point");
    }
    return entry;
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
