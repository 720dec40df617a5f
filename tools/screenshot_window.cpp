// Not a test: shows the window after a calculation whose planned landing weight lies above its
// limit and saves a picture of it; given two more files, pictures of the screen with the File
// menu open, and with the summary of a SimBrief flight plan opened from it. With --kg first the
// window shows kilograms and the same plan is typed in them, the menu pictured is the Units menu
// and the flight plan one in kilograms. Needs a screen (Xvfb will do):
//   brimwell-screenshot [--kg] <window.png> [<menu.png> <import.png>]
// With --xplane, the screen with the box that tells of the sample plan loaded into X-Plane (the
// X-Plane stand-in of the tests) from the Aircraft menu:
//   brimwell-screenshot --xplane <xplane.png>
// With --fuel-check, the fuel check window after nine readings of the stand-in, along a flight of
// the sample plan that burns 2 lbs a nm more than planned:
//   brimwell-screenshot --fuel-check <fuel-check.png>

#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <fstream>

#include "engine/cell_names.h"
#include "tests/support/flight_plan_file.h"
#include "tests/support/window_driver.h"
#include "tests/support/xplane_standin.h"
#include "ui/control_names.h"
#include "ui/fuel_check_window.h"
#include "ui/fuel_plot.h"
#include "ui/settings.h"
#include "ui/window_cells.h"

using namespace brimwell;
using namespace brimwell::engine;
using brimwell::ui::MainWindow;

namespace {

// The fuel check window after nine readings of the X-Plane stand-in, along a flight of the sample
// plan that burns 2 lbs a nm more than planned; 0 when its picture is saved in file.
int pictureFuelCheck(MainWindow& window, const QString& file) {
    qputenv("BRIMWELL_TEST_FUEL_CHECK_INTERVAL_MS", "100");
    ui::setFuelCheckClock([] { return QTime(14, 32, 5); });  // the same picture every time
    test::XPlaneStandIn xplane;
    ui::writeSetting(ui::kXPlaneAddress, test::toQ(xplane.url()));
    window.setUnit(Unit::Pounds);
    test::enterPlan(window, test::samplePlan());
    test::press(window, QStringLiteral("cmdCalculate Ctrl+Shift+F"));
    auto* check = window.findChild<ui::FuelCheckWindow*>();
    const auto* plot = check->findChild<ui::FuelPlot*>();
    const QList<QPointF> plan = plot->planLine();  // every 20 nm
    for (qsizetype reading = 0; reading < 9; ++reading) {
        const QPointF planned = plan.at(12 * reading);
        const double pounds = planned.y() - 2 * planned.x();
        xplane.setValue("sim/flightmodel/controls/dist", planned.x() * 1852);
        xplane.setValue("sim/flightmodel/weight/m_fuel_total", pounds * kKilogramsPerPound);
        const bool read = QTest::qWaitFor(
            [&] {
                const QList<QPointF> points = plot->readings();
                return points.size() == reading + 1 && points.last().x() == planned.x() &&
                       std::abs(points.last().y() - pounds) <= 1;
            },
            3000);
        if (!read) {
            return 1;
        }
    }
    QTest::qWait(200);
    return check->grab().save(file) ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QStringList files = QApplication::arguments().mid(1);
    const bool kg = !files.isEmpty() && files.first() == QStringLiteral("--kg");
    if (kg) {
        files.removeFirst();
    }
    const auto window = test::openWindow();
    test::warnings();
    if (argc == 3 && QApplication::arguments().at(1) == QStringLiteral("--xplane")) {
        const test::XPlaneStandIn xplane;
        ui::writeSetting(ui::kXPlaneAddress, test::toQ(xplane.url()));
        test::enterPlan(*window, test::samplePlan());
        ui::setWarningHandler({});  // the program's own box
        test::press(*window, QStringLiteral("cmdCalculate Ctrl+Shift+X"));
        bool saved = false;
        QTimer::singleShot(1000, window.get(), [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                const QRect area = window->frameGeometry();
                saved = QApplication::primaryScreen()
                            ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                            .save(QApplication::arguments().at(2));
                box->close();
            }
        });
        return QTest::qWaitFor([&] { return saved; }, 3000) ? 0 : 1;
    }
    if (QApplication::arguments().mid(1, 1) == QStringList{QStringLiteral("--fuel-check")}) {
        return pictureFuelCheck(*window, QApplication::arguments().value(2));
    }
    window->setUnit(kg ? Unit::Kilograms : Unit::Pounds);
    test::enterPlan(*window,
                    test::with(test::samplePlan(), {{cell::txtPayLoad, kg ? "63503" : "140000"},
                                                    {cell::cmbMLF, kg ? "10886" : "24000"},
                                                    {cell::txtTFB, kg ? "907" : "2000"},
                                                    {cell::cmbAlternateDistance, "500"},
                                                    {cell::txtContingencyTime, "180"}}));
    test::click(*window, ui::control::cmdCalculate);
    bool saved = (files.size() == 1 || files.size() == 3) && window->grab().save(files[0]);
    const auto saveScreen = [&window, &saved](const QString& file) {
        const QRect area = window->frameGeometry();
        saved = saved && QApplication::primaryScreen()
                             ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                             .save(file);
    };
    if (saved && files.size() == 3) {
        auto* bar = window->findChild<QMenuBar*>();
        bar->setActiveAction(kg ? bar->actions().last() : bar->actions().first());
        QTest::qWait(500);
        saveScreen(files[1]);
        QApplication::activePopupWidget()->close();
        // An alternate between the list's distances, an initial altitude above the list's levels.
        const QTemporaryDir folder;
        const QString plan = folder.filePath(QStringLiteral("LIRFKJFK_PDF_1701234567.xml"));
        test::OfpChanges changes{
            .fields = {{"alternate/distance", "187"}, {"general/initial_altitude", "43000"}}};
        if (kg) {
            changes.fields.insert(
                changes.fields.end(),
                {{"params/units", "kgs"}, {"weights/payload", "45360"}, {"fuel/taxi", "907"}});
        }
        std::ofstream(plan.toStdString()) << test::ofpText(changes);
        test::dialogs().files = QStringList{plan};
        ui::setWarningHandler({});  // the program's own box
        QTimer::singleShot(1000, window.get(), [&, file = files[2]] {
            saveScreen(file);
            QApplication::activeModalWidget()->close();
        });
        test::press(*window, QStringLiteral("Ctrl+O"));
    }
    return saved && test::warnings().isEmpty() ? 0 : 1;
}
