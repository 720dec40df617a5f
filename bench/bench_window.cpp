// The window's work, the sample flight typed in, driven as its tests drive it: Calculate from the
// click to the result cells painted anew (Clear empties them first, untimed); Aircraft > Fuel
// Check from the item chosen to the check window's plot painted, against the X-Plane stand-in
// (the first opening of the process timed apart, first). Offscreen unless QT_QPA_PLATFORM says.

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QTest>
#include <cstdlib>

#include "engine/cell_names.h"
#include "tests/support/window_driver.h"
#include "tests/support/xplane_standin.h"
#include "ui/control_names.h"
#include "ui/fuel_check_window.h"
#include "ui/fuel_plot.h"
#include "ui/settings.h"

namespace brimwell::bench {
namespace {

namespace cell = engine::cell;

// Counts the paint events of one widget.
struct PaintCounter final : QObject {
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int count = 0;

    bool eventFilter(QObject* watched, QEvent* event) override {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
    // Handles events until the widget has been painted more often than before; false if that
    // does not happen within a second.
    bool waitBeyond(int before) const {
        for (int round = 0; round < 1000 && count == before; ++round) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            if (count == before) {
                QTest::qWait(1);
            }
        }
        return count > before;
    }
};

void BM_FuelCheckOpens(benchmark::State& state) {
    const test::XPlaneStandIn xplane;
    ui::writeSetting(ui::kXPlaneAddress, test::toQ(xplane.url()));
    const auto window = test::openWindow();
    test::enterPlan(*window, test::samplePlan());
    test::click(*window, ui::control::cmdCalculate);
    for ([[maybe_unused]] auto _ : state) {
        window->findChild<QAction*>(test::toQ(ui::control::mnuFuelCheck))->trigger();
        auto* check = window->findChild<ui::FuelCheckWindow*>();
        auto* plot = check != nullptr ? check->findChild<ui::FuelPlot*>() : nullptr;
        if (plot == nullptr || !PaintCounter(*plot).waitBeyond(0)) {
            state.SkipWithError("the check window was not painted within a second");
            break;
        }
        state.PauseTiming();
        check->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FuelCheckOpens)->Name("BM_FuelCheckFirstOpening")->Iterations(1)->Repetitions(1);
BENCHMARK(BM_FuelCheckOpens)->UseRealTime();

void BM_CalculateClickToPaint(benchmark::State& state) {
    const auto window = test::openWindow();
    test::enterPlan(*window, test::samplePlan());
    PaintCounter painted(*test::control(*window, test::toQ(cell::txtZFW)));
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        test::click(*window, ui::control::Command1);
        painted.waitBeyond(painted.count);
        const int before = painted.count;
        state.ResumeTiming();
        test::click(*window, ui::control::cmdCalculate);
        if (!painted.waitBeyond(before)) {
            state.SkipWithError("the result cells were not painted after Calculate");
            break;
        }
    }
    if (test::text(*window, test::toQ(cell::txtZFW)) != QStringLiteral("494088")) {
        state.SkipWithError("Calculate gave another zero fuel weight than the sample plan's");
    }
}
BENCHMARK(BM_CalculateClickToPaint)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace brimwell::bench

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // NOLINT(concurrency-mt-unsafe): one thread yet
    const QApplication application(argc, argv);
    benchmark::SetDefaultTimeUnit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
