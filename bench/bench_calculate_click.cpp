// Calculate in the window: from the click on the button to the result cells painted anew, on
// the window of the program with the sample flight typed in. Before every click, and outside
// the timing, Clear empties the results, so that every Calculate paints them again.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "bench/summary.h"
#include "engine/cell_names.h"
#include "tests/support/plan.h"
#include "ui/main_window.h"

namespace {

using namespace brimwell;

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

bool enterSamplePlan(MainWindow& window) {
    for (const auto& [name, text] : test::samplePlan()) {
        const QString objectName = toQString(name);
        if (auto* box = window.findChild<QLineEdit*>(objectName)) {
            box->setText(toQString(text));
        } else if (auto* list = window.findChild<QComboBox*>(objectName)) {
            const int index = list->findText(toQString(text));
            if (index < 0) {
                return false;
            }
            list->setCurrentIndex(index);
        } else {
            return false;
        }
    }
    return true;
}

// Handles events until the widget has been painted once more than before; false if that does
// not happen within a second.
bool waitForPaint(const PaintCounter& counter, int before) {
    for (int round = 0; round < 1000 && counter.count == before; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (counter.count == before) {
            QTest::qWait(1);
        }
    }
    return counter.count > before;
}

void BM_CalculateClickToPaint(benchmark::State& state) {
    MainWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window) || !enterSamplePlan(window)) {
        state.SkipWithError("the window did not open with the sample flight");
        return;
    }
    auto* calculate = window.findChild<QWidget*>(QStringLiteral("cmdCalculate"));
    auto* clear = window.findChild<QWidget*>(QStringLiteral("Command1"));
    auto* zeroFuelWeight = window.findChild<QLineEdit*>(toQString(cell::txtZFW));
    if (calculate == nullptr || clear == nullptr || zeroFuelWeight == nullptr) {
        state.SkipWithError("the window lacks its buttons or result cells");
        return;
    }
    PaintCounter painted(*zeroFuelWeight);
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        QTest::mouseClick(clear, Qt::LeftButton);
        waitForPaint(painted, painted.count);
        const int before = painted.count;
        state.ResumeTiming();

        QTest::mouseClick(calculate, Qt::LeftButton);
        if (!waitForPaint(painted, before)) {
            state.SkipWithError("the result cells were not painted after Calculate");
            break;
        }
    }
    if (zeroFuelWeight->text() != QStringLiteral("494088")) {
        state.SkipWithError("Calculate gave another zero fuel weight than the sample plan's");
    }
}
BENCHMARK(BM_CalculateClickToPaint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // NOLINT(concurrency-mt-unsafe): one thread yet
    QApplication application(argc, argv);
    bench::SummaryReporter reporter;
    if (!bench::runBenchmarks(argc, argv, reporter)) {
        return 1;
    }
    std::printf("\nplatform plugin: %s\n", qPrintable(QGuiApplication::platformName()));
    return bench::reportFigure(reporter, "Calculate click to paint", "BM_CalculateClickToPaint",
                               2000) == bench::Goal::NotMeasured
               ? 1
               : 0;
}
