// Aircraft > Fuel Check: from the item chosen to the check window painted, its plot included, on
// the window of the program with the sample flight calculated, against the X-Plane stand-in,
// which answers the reading that the check window starts at once. Between openings, and outside
// the timing, the check window is closed and deleted. The first opening of the process, which
// also meets the check window's fonts and the link's module for the first time, is timed apart.

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "bench/summary.h"
#include "engine/cell_names.h"
#include "tests/support/plan.h"
#include "tests/support/xplane_standin.h"
#include "ui/fuel_check_window.h"
#include "ui/fuel_plot.h"
#include "ui/main_window.h"
#include "ui/settings.h"

namespace {

using namespace brimwell;

constexpr double kGoalMs = 200;

// Counts the paint events of one widget.
class PaintCounter final : public QObject {
  public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int count = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++count;
        }
        return QObject::eventFilter(watched, event);
    }
};

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The window of the program, shown, with the sample flight calculated, reading the stand-in.
std::unique_ptr<MainWindow> calculatedWindow(const test::XPlaneStandIn& xplane) {
    ui::writeSetting(ui::kXPlaneAddress, toQString(xplane.url()));
    auto window = std::make_unique<MainWindow>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) {
        return nullptr;
    }
    for (const auto& [name, text] : test::samplePlan()) {
        const QString objectName = toQString(name);
        if (auto* box = window->findChild<QLineEdit*>(objectName)) {
            box->setText(toQString(text));
        } else if (auto* list = window->findChild<QComboBox*>(objectName)) {
            list->setCurrentIndex(list->findText(toQString(text)));
        }
    }
    QTest::mouseClick(window->findChild<QWidget*>(QStringLiteral("cmdCalculate")), Qt::LeftButton);
    auto* item = window->findChild<QAction*>(QStringLiteral("mnuFuelCheck"));
    return item != nullptr && item->isEnabled() ? std::move(window) : nullptr;
}

// Chooses Fuel Check and handles events until the check window's plot has been painted; false
// if that does not happen within a second.
bool openCheck(MainWindow& window) {
    window.findChild<QAction*>(QStringLiteral("mnuFuelCheck"))->trigger();
    auto* check = window.findChild<ui::FuelCheckWindow*>();
    auto* plot = check != nullptr ? check->findChild<ui::FuelPlot*>() : nullptr;
    if (plot == nullptr) {
        return false;
    }
    const PaintCounter painted(*plot);
    for (int round = 0; round < 1000 && painted.count == 0; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (painted.count == 0) {
            QTest::qWait(1);
        }
    }
    return painted.count > 0;
}

void closeCheck(MainWindow& window) {
    window.findChild<ui::FuelCheckWindow*>()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_FuelCheckOpens(benchmark::State& state) {
    const test::XPlaneStandIn xplane;
    const auto window = calculatedWindow(xplane);
    if (window == nullptr) {
        state.SkipWithError("the window did not open with the sample flight calculated");
        return;
    }
    for ([[maybe_unused]] auto _ : state) {
        if (!openCheck(*window)) {
            state.SkipWithError("the check window was not painted within a second");
            break;
        }
        state.PauseTiming();
        closeCheck(*window);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FuelCheckOpens)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // NOLINT(concurrency-mt-unsafe): one thread yet
    QApplication application(argc, argv);
    // The settings the benchmark writes go to a folder of its own, never the user's.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    {
        const test::XPlaneStandIn xplane;
        const auto window = calculatedWindow(xplane);
        QElapsedTimer clock;
        clock.start();
        if (window == nullptr || !openCheck(*window)) {
            static_cast<void>(
                std::fputs("bench_fuel_check_window: the check window did not open\n", stderr));
            return 1;
        }
        std::printf("first opening of the process: %.1f ms (goal <= %g ms)\n\n",
                    static_cast<double>(clock.nsecsElapsed()) / 1e6, kGoalMs);
        closeCheck(*window);
    }
    bench::SummaryReporter reporter;
    if (!bench::runBenchmarks(argc, argv, reporter)) {
        return 1;
    }
    std::printf("\nplatform plugin: %s\n", qPrintable(QGuiApplication::platformName()));
    return bench::reportFigure(reporter, "Fuel Check to its window painted", "BM_FuelCheckOpens",
                               kGoalMs) == bench::Goal::NotMeasured
               ? 1
               : 0;
}
