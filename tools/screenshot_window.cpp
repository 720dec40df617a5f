// Not a test: shows the window after a calculation whose planned landing weight lies above its
// limit and saves a picture of it; given two more files, pictures of the screen with the File
// menu open, and with the summary of a SimBrief flight plan opened from it. With --kg first the
// window shows kilograms and the same plan is typed in them, the menu pictured is the Units menu
// and the flight plan one in kilograms. Needs a screen (Xvfb will do):
//   brimwell-screenshot [--kg] <window.png> [<menu.png> <import.png>]
// With --xplane, the screen with the box that tells of the sample plan loaded into X-Plane (the
// X-Plane stand-in of the tests) from the Aircraft menu:
//   brimwell-screenshot --xplane <xplane.png>
// With --fuel-check, the fuel check window after readings of the stand-in flying the sample
// flight plan's route 3400 nm, 2 lbs a nm over the plan, past two fixes; dark with --dark:
//   brimwell-screenshot --fuel-check <fuel-check.png> [--dark]
// With --flights, File > Flights… over a log of eight flights, one of them unfinished:
//   brimwell-screenshot --flights <flights.png>

#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <fstream>
#include <optional>

#include "engine/cell_names.h"
#include "flightlog/flight_log.h"
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

// The place a fraction of the way along the great circle from one (latitude, longitude) to the
// next, degrees.
QPointF along(QPointF from, QPointF to, double fraction) {
    const auto unit = [](QPointF at) {
        const double lat = qDegreesToRadians(at.x());
        const double lon = qDegreesToRadians(at.y());
        return std::array<double, 3>{std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon),
                                     std::sin(lat)};
    };
    const auto a = unit(from);
    const auto b = unit(to);
    const double angle = std::acos(std::clamp(a[0] * b[0] + a[1] * b[1] + a[2] * b[2], -1.0, 1.0));
    const double first = angle > 0 ? std::sin((1 - fraction) * angle) / std::sin(angle) : 1;
    const double second = angle > 0 ? std::sin(fraction * angle) / std::sin(angle) : 0;
    std::array<double, 3> p{};
    for (std::size_t i = 0; i < 3; ++i) {
        p.at(i) = first * a.at(i) + second * b.at(i);
    }
    return {qRadiansToDegrees(std::atan2(p[2], std::hypot(p[0], p[1]))),
            qRadiansToDegrees(std::atan2(p[1], p[0]))};
}

// The fuel check window after readings every 200 nm of the X-Plane stand-in flying the sample
// flight plan's route (LIRF, DIVKO 1000 nm, 50N020W 3000 nm, KJFK 4000 nm) to 3400 nm, burning 2
// lbs a nm more than planned, in a dark scheme if asked; 0 when its picture is saved in file.
int pictureFuelCheck(MainWindow& window, const QString& file, bool dark) {
    if (dark) {
        QApplication::setPalette(QPalette(QColor(40, 40, 40)));
    }
    qputenv("BRIMWELL_TEST_FUEL_CHECK_INTERVAL_MS", "100");
    QTime clock(11, 40);  // the same picture every time
    ui::setFuelCheckClock([&clock] { return clock; });
    test::XPlaneStandIn xplane;
    ui::writeSetting(ui::kXPlaneAddress, test::toQ(xplane.url()));
    window.setUnit(Unit::Pounds);
    test::enterPlan(window, test::samplePlan());
    const QTemporaryDir folder;
    const QString ofp = folder.filePath(QStringLiteral("LIRFKJFK.xml"));
    std::ofstream(ofp.toStdString()) << test::ofpText();
    test::warnings();  // the summary of the plan opened is not shown
    test::dropFile(window, "", ofp);
    test::press(window, QStringLiteral("cmdCalculate Ctrl+Shift+F"));
    auto* check = window.findChild<ui::FuelCheckWindow*>();
    check->resize(720, 760);
    const auto* plot = check->findChild<ui::FuelPlot*>();
    const QList<QPointF> plan = plot->planLine();
    const std::array<std::pair<double, QPointF>, 4> fixes = {
        {{0, {41.8, 12.25}}, {1000, {47.5, -8}}, {3000, {50, -20}}, {4000, {40.64, -73.78}}}};
    for (int reading = 0; reading <= 17; ++reading) {
        const double nm = 200.0 * reading;
        std::size_t leg = 1;
        while (fixes.at(leg).first < nm) {
            ++leg;
        }
        const auto& [startNm, start] = fixes.at(leg - 1);
        const auto& [endNm, end] = fixes.at(leg);
        const QPointF at = along(start, end, (nm - startNm) / (endNm - startNm));
        const double pounds =
            plan.at(qsizetype{10} * reading).y() - 2 * nm;  // the plan's line: every 20 nm
        clock = clock.addSecs(reading == 0 ? 0 : 1500);
        xplane.fly({{.latitude = at.x(),
                     .longitude = at.y(),
                     .fuelOnBoardKg = pounds * kKilogramsPerPound,
                     .fuelFlowKgPerSecond = 2.9,
                     .groundSpeedKnots = 480,
                     .onGround = false}});
        const bool read = QTest::qWaitFor(
            [&] {
                const QList<QPointF> points = plot->readings();
                return !points.isEmpty() && std::abs(points.last().x() - nm) <= 1 &&
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

// File > Flights… over a log of eight flights of December 2026, the last unfinished; 0 when its
// picture is saved in file.
int pictureFlights(MainWindow& window, const QString& file) {
    struct Flown {
        const char* origin;
        const char* destination;
        double plannedBurn;  // lbs
        double burnFactor;
    };
    const std::array<Flown, 8> flown = {{{"LIRF", "KJFK", 188400, 1.042},
                                         {"KJFK", "EGLL", 151200, 1.011},
                                         {"EGLL", "VHHH", 296500, 1.060},
                                         {"VHHH", "RJAA", 92300, 1.035},
                                         {"RJAA", "KSFO", 201800, 1.048},
                                         {"KSFO", "EDDF", 247600, 1.020},
                                         {"EDDF", "OMDB", 121400, 1.057},
                                         {"OMDB", "YSSY", 265300, 1.031}}};
    {
        flightlog::FlightLog log;
        for (std::size_t i = 0; i < flown.size(); ++i) {
            // Every other day from 1 December 2026, 00:00 UTC.
            const double day = 1'796'083'200 + static_cast<double>(i) * 2 * 86'400;
            flightlog::PlannedFlight plan;
            plan.cells = {{"txtOriginICAO", flown.at(i).origin},
                          {"txtDestinationICAO", flown.at(i).destination},
                          {"txtFPF", std::to_string(std::lround(flown.at(i).plannedBurn))}};
            flight::WatchedCheck first;
            first.time = day + 9 * 3600;
            first.phase = flight::Phase::Airborne;
            first.check.fuelOnBoard = flown.at(i).plannedBurn + 42'000;
            first.check.plannedLandingFuel = 39'400;
            const auto id = log.begin(plan, first);
            const double burnt = std::round(flown.at(i).plannedBurn * flown.at(i).burnFactor);
            if (!id) {
                return 1;
            }
            if (i + 1 == flown.size()) {  // still on its way, 4 hours out
                flight::WatchedCheck later = first;
                later.time += 4 * 3600;
                later.check.fuelOnBoard -= std::round(burnt * 0.36);
                later.burnFactor = flown.at(i).burnFactor;
                log.addReading(*id, later, false);
            } else {
                log.land(*id, {first.time + 11 * 3600, first.check.fuelOnBoard - burnt, burnt,
                               flown.at(i).plannedBurn, flown.at(i).burnFactor, 0});
            }
        }
    }
    test::press(window, QStringLiteral("mnuFile/mnuFlights"));
    auto* flights = window.findChild<QWidget*>(test::toQ(ui::control::frmFlights));
    flights->resize(flights->width(), 330);  // as wide as it opens
    QTest::qWait(200);
    return flights->grab().save(file) ? 0 : 1;
}

// --flights or --fuel-check: the picture of that window, 0 when saved; none for the others.
std::optional<int> pictureOfAWindow(MainWindow& window) {
    const QStringList arguments = QApplication::arguments();
    if (arguments.value(1) == QStringLiteral("--flights")) {
        return pictureFlights(window, arguments.value(2));
    }
    if (arguments.value(1) == QStringLiteral("--fuel-check")) {
        return pictureFuelCheck(window, arguments.value(2),
                                arguments.value(3) == QStringLiteral("--dark"));
    }
    return std::nullopt;
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
    if (const auto picture = pictureOfAWindow(*window)) {
        return *picture;
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
