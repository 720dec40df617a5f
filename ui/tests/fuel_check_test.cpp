// Aircraft > Fuel Check in the real window against the X-Plane stand-in: figures, status and
// points in lbs and kg, silence, a reading of no flight, a flight along its route, a refused plan,
// and closing. By hand (as engine/tests/fuel_check_test.cpp): 3000 km are 1620 nm, where the plan
// has 142852 lbs; 60000 kg are 132277 lbs, leaving 28777 at landing against reserves of 30352;
// 103400 kg are 227958 lbs. Along the route: taken off with 103000 kg (227076 lbs), 94799 lbs are
// burnt at 1620 nm against the plan's 84900, a factor of 1.117; the plan's 103500 lbs still to come
// at that factor leave 16668 lbs (7560 kg); landed with 20000 kg (44092 lbs), 182984 lbs are burnt
// against the plan's 188400, a factor of 0.971.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cmath>
#include <fstream>
#include <set>

#include "engine/cell_names.h"
#include "flightlog/flight_log.h"
#include "tests/support/flight_plan_file.h"
#include "tests/support/window_driver.h"
#include "tests/support/xplane_standin.h"
#include "ui/control_names.h"
#include "ui/dialogs.h"
#include "ui/fuel_check_window.h"
#include "ui/fuel_plot.h"
#include "ui/settings.h"

using namespace brimwell;
using namespace brimwell::engine;
using namespace brimwell::test;
using brimwell::ui::MainWindow;
using namespace Qt::StringLiterals;

namespace {

using Moment = XPlaneStandIn::FlightMoment;
constexpr double kNm = 1852;  // metres
const QStringList kFigureNames =
    u"distanceFlown distanceToGo fuelOnBoard plannedFuelOnBoard difference predictedLandingFuel "
    "plannedLandingFuel margin reserves status"_s.split(u' ');

}  // namespace

class FuelCheckTest final : public QObject {
    Q_OBJECT

    std::unique_ptr<XPlaneStandIn> m_xplane;  // outlives the window of each test
    std::unique_ptr<MainWindow> m_window;
    QTime m_now{14, 0};  // the check window's clock

    ui::FuelCheckWindow* check() const {
        return m_window->findChild<ui::FuelCheckWindow*>(toQ(ui::control::frmFuelCheck));
    }
    QString shown(const QString& name) const { return check()->findChild<QLabel*>(name)->text(); }
    QString figures(const QStringList& names = kFigureNames) const {
        QStringList texts;
        for (const QString& name : names) {
            texts.append(shown(name));
        }
        return texts.join(u'|');
    }
    static QString points(const QList<QPointF>& points) {
        QStringList texts;
        for (const QPointF& point : points) {
            texts.append(QString::number(point.x()) + u' ' + QString::number(point.y(), 'f', 0));
        }
        return texts.join(u", "_s);
    }
    // Fuel Check chosen: the check window, new or raised, is the active one.
    void openCheck() const {
        press(*m_window, u"Ctrl+Shift+F"_s);
        QVERIFY(check() != nullptr);
        QTRY_VERIFY(QApplication::activeWindow() == check());
    }
    // As the pilot clicks the main window, over the check window that took the activation.
    void backToTheMainWindow() const {
        m_window->activateWindow();
        QTRY_VERIFY(QApplication::activeWindow() == m_window.get());
    }
    QWidget* flights() const { return m_window->findChild<QWidget*>(toQ(ui::control::frmFlights)); }
    // The rows of the flights window, each cell's text by '|', the rows by "; ".
    QString listRows() const {
        const auto& table = *flights()->findChild<QTableWidget*>(toQ(ui::control::flightList));
        QStringList rows;
        for (int row = 0; row < table.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < table.columnCount(); ++column) {
                cells.append(table.item(row, column)->text());
            }
            rows.append(cells.join(u'|'));
        }
        return rows.join(u"; "_s);
    }
    // A landed flight, taken off `hours` past 1970, burning the factor times its 188400 lbs.
    static void keptFlight(flightlog::FlightLog& log, double factor, int hours) {
        flightlog::PlannedFlight plan;
        plan.cells = {{"txtOriginICAO", "EGLL"},
                      {"txtDestinationICAO", "KJFK"},
                      {"txtAlternateICAO", "KBOS"},
                      {"txtFPF", "188400"}};
        flight::WatchedCheck first;
        first.time = hours * 3600.0;
        first.phase = flight::Phase::Airborne;
        first.check.fuelOnBoard = 40000 + std::round(188400 * factor);
        first.check.plannedLandingFuel = 39352;
        const auto id = *log.begin(plan, first);
        log.land(id, {first.time + 3600, 40000, std::round(188400 * factor), 188400, factor, 0});
    }
    ui::FuelPlot& plot() const {
        return *check()->findChild<ui::FuelPlot*>(toQ(ui::control::plot));
    }
    // The status's colour against the window's background.
    double statusContrast() const {
        const QLabel& status = *check()->findChild<QLabel*>(u"status"_s);
        return contrast(status.palette().color(QPalette::WindowText),
                        check()->palette().color(QPalette::Window));
    }

  private Q_SLOTS:
    void initTestCase() {
        qputenv("BRIMWELL_TEST_FUEL_CHECK_INTERVAL_MS", "100");
        ui::setFuelCheckClock([this] { return m_now; });
    }

    void init() {
        m_window.reset();
        QDir(QString::fromUtf8(qgetenv("XDG_DATA_HOME")) + u"/brimwell"_s).removeRecursively();
        ui::writeSetting(ui::kUseFuelFactor, {});
        m_xplane = std::make_unique<XPlaneStandIn>();
        qputenv("BRIMWELL_TEST_XPLANE_BOUND_MS", "300");
        warnings().clear();
        m_window = openWindow();  // from here on the settings are the test program's own
        m_window->setUnit(Unit::Pounds);
        ui::writeSetting(ui::kXPlaneAddress, toQ(m_xplane->url()));
        enterPlan(*m_window, samplePlan());
        press(*m_window, u"Alt+C"_s);
    }

    // The scripted flight, a row a step: the reading (none while silent) and the unit chosen in
    // the main window, then the ten figures shown, the points plotted and the answer line. The
    // unit is switched while X-Plane is silent, so that only the switch can change the figures.
    void followsTheFlight() {
        struct Step {
            const char* name;
            bool silent;
            double kg;
            double metres;
            const char* unit;
            const char* figures;
            const char* points;
            const char* reason;  // empty: read; else X-Plane's reason, %1 its address
        };
        // clang-format off
        const std::vector<Step> steps = {
            {"at the gate", false, 103400, 0, "lbs", "0 nm|4000 nm|227958 lbs|227752 lbs|+206 lbs|39558 lbs|39352 lbs|+206 lbs|30352 lbs|on plan", "0 227958", ""},
            {"taxied out", false, 103000, 0, "lbs", "0 nm|4000 nm|227076 lbs|227752 lbs|-676 lbs|38676 lbs|39352 lbs|-676 lbs|30352 lbs|contingency in use", "0 227076", ""},
            {"3000 km out", false, 60000, 3e6, "lbs", "1620 nm|2380 nm|132277 lbs|142852 lbs|-10575 lbs|28777 lbs|39352 lbs|-10575 lbs|30352 lbs|reserves at risk", "0 227076, 1620 132277", ""},
            {"silent", true, 0, 0, "lbs", "1620 nm|2380 nm|132277 lbs|142852 lbs|-10575 lbs|28777 lbs|39352 lbs|-10575 lbs|30352 lbs|reserves at risk", "0 227076, 1620 132277", "X-Plane did not answer at %1 within 0.3 seconds. Check that X-Plane is running and not busy loading, then try again."},
            {"silent, in kilograms", true, 0, 0, "kg", "1620 nm|2380 nm|60000 kg|64797 kg|-4797 kg|13053 kg|17850 kg|-4797 kg|13767 kg|reserves at risk", "0 103000, 1620 60000", "X-Plane did not answer at %1 within 0.3 seconds. Check that X-Plane is running and not busy loading, then try again."},
            {"no flight's", false, 60000, 5e8, "kg", "1620 nm|2380 nm|60000 kg|64797 kg|-4797 kg|13053 kg|17850 kg|-4797 kg|13767 kg|reserves at risk", "0 103000, 1620 60000", "X-Plane's reading is no flight's (500000000 m travelled): the fuel is not checked."},
            {"a nm before", false, 20000, 3999 * kNm, "kg", "3999 nm|1 nm|20000 kg|17895 kg|+2105 kg|19954 kg|17850 kg|+2105 kg|13767 kg|on plan", "0 103000, 1620 60000, 3999 20000", ""},
        };
        // clang-format on
        m_xplane->fly({{.fuelOnBoardKg = steps[0].kg}});
        openCheck();
        QCOMPARE(points(plot().planLine().mid(0, 1)) + u", "_s +
                     points(plot().planLine().mid(plot().planLine().size() - 1)),
                 u"0 227752, 4000 39352"_s);
        QCOMPARE(plot().reserves(), 30352.0);
        // Another plan in the main window (alternate fuel 11000 lbs): the check keeps the one it
        // was opened with.
        backToTheMainWindow();
        paste(*m_window, cell::txtPayLoad, u"50000"_s);
        press(*m_window, u"Alt+C"_s);
        QCOMPARE(text(*m_window, cell::txtZFW), u"444088"_s);
        QTime lastGood;  // the time of the last step read, and of its readings
        std::set<QRgb> statusColours;
        for (const Step& step : steps) {
            const QByteArray name = step.name;
            if (toQ(unitName(m_window->unit())) != QString::fromUtf8(step.unit)) {
                press(*m_window, u"mnuUnits/mnuKilograms"_s);
            }
            if (!step.silent) {
                m_now = m_now.addSecs(60);
                m_xplane->fly({{.fuelOnBoardKg = step.kg, .distanceTravelledMetres = step.metres}});
            }
            m_xplane->setSilent(step.silent);
            const QString reason =
                QString::fromUtf8(step.reason).replace(u"%1"_s, toQ(m_xplane->url()));
            if (reason.isEmpty()) {
                QTRY_COMPARE_WITH_TIMEOUT(figures(), QString::fromUtf8(step.figures), 5000);
                QTRY_COMPARE(shown(toQ(ui::control::answer)),
                             u"X-Plane: read at "_s + m_now.toString(u"hh:mm:ss"));
                QVERIFY2(!check()->findChild<QLabel*>(toQ(ui::control::answerReason))->isVisible(),
                         name);
                lastGood = m_now;
            } else {
                QTRY_COMPARE_WITH_TIMEOUT(shown(toQ(ui::control::answerReason)), reason, 5000);
                QVERIFY2(check()->findChild<QLabel*>(toQ(ui::control::answerReason))->isVisible(),
                         name);
                QCOMPARE(figures(), QString::fromUtf8(step.figures));
                // Failures later than the last good reading keep its time.
                m_now = m_now.addSecs(60);
                QTest::qWait(600);
                QCOMPARE(shown(toQ(ui::control::answer)),
                         u"X-Plane: no answer since "_s + lastGood.toString(u"hh:mm"));
            }
            QCOMPARE(points(plot().readings()), QString::fromUtf8(step.points));
            QVERIFY2(statusContrast() >= 4.5, name);
            statusColours.insert(check()
                                     ->findChild<QLabel*>(u"status"_s)
                                     ->palette()
                                     .color(QPalette::WindowText)
                                     .rgb());
        }
        QCOMPARE(statusColours.size(), std::size_t{3});

        // A dark scheme: the status turns lighter until it reads again.
        const QPalette light = QApplication::palette();
        QApplication::setPalette(QPalette(QColor(40, 40, 40)));
        QTRY_COMPARE(check()->palette().color(QPalette::Window), QColor(40, 40, 40));
        QVERIFY(statusContrast() >= 4.5);
        QApplication::setPalette(light);
        QTRY_COMPARE(check()->palette().color(QPalette::Window), light.color(QPalette::Window));
        QVERIFY(statusContrast() >= 4.5);
    }

    // The flight plan's route (FIXA 1620 nm out, then KJFK 2380 nm on), flown a moment a row
    // (each read again until the next): the phase and predictions shown, the fixes passed in the
    // unit chosen, and the plot's points and fix marks, paused and replayed
    // readings left out.
    void followsTheRoute() {
        m_now = QTime(14, 0);
        const QTemporaryDir folder;
        const QString plan = folder.filePath(u"plan.xml"_s);
        std::ofstream(plan.toStdString())
            << ofpText({.navlog = {{{{"ident", "FIXA"},
                                     {"pos_lat", "47.5"},
                                     {"pos_long", "-8"},
                                     {"distance", "1620"},
                                     {"fuel_plan_onboard", "140000"}},
                                    {{"ident", "KJFK"},
                                     {"pos_lat", "40.64"},
                                     {"pos_long", "-73.78"},
                                     {"distance", "2380"},
                                     {"fuel_plan_onboard", "40000"}}}}});
        dropFile(*m_window, "", plan);
        press(*m_window, u"Alt+C"_s);
        struct Step {
            const char* name;
            Moment moment;
            const char* unit;
            // phase, distance flown, fuel on board, both predictions, burn factor, off the route
            const char* figures;
            const char* fixes;  // ident, nm, UTC, fuel on board, planned, SimBrief's, difference
            const char* points;
        };
        // clang-format off
        const Moment gate{.latitude = 41.8, .longitude = 12.25, .fuelOnBoardKg = 103400};
        const Moment fixA{.latitude = 47.5, .longitude = -8, .fuelOnBoardKg = 60000, .groundSpeedKnots = 480, .onGround = false};
        const std::vector<Step> steps = {
            {"at the gate", gate, "lbs", "before takeoff|0 nm|227958 lbs|39558 lbs|–|–|–", "", "0 227958"},
            {"taken off", {.latitude = 41.8, .longitude = 12.25, .fuelOnBoardKg = 103000, .groundSpeedKnots = 160, .onGround = false}, "lbs", "airborne|0 nm|227076 lbs|38676 lbs|–|–|–", "", "0 227076"},
            {"paused over FIXA", {.latitude = 47.5, .longitude = -8, .fuelOnBoardKg = 70000, .onGround = false, .paused = true}, "lbs", "paused|0 nm|227076 lbs|38676 lbs|–|–|–", "", "0 227076"},
            {"over FIXA", fixA, "lbs", "airborne|1620 nm|132277 lbs|28777 lbs|16668 lbs|1.117|–", "FIXA 1620 14:40:00 132277 142852 140000 -10575", "0 227076, 1620 132277"},
            {"a degree south of FIXA, 58.2 nm abeam the leg into it: held", {.latitude = 46.5, .longitude = -8, .fuelOnBoardKg = 60000, .groundSpeedKnots = 480, .onGround = false}, "lbs", "airborne|1620 nm|132277 lbs|28777 lbs|16668 lbs|1.117|58.2 nm, progress held", "FIXA 1620 14:40:00 132277 142852 140000 -10575", "0 227076, 1620 132277"},
            {"replaying the takeoff", {.latitude = 41.8, .longitude = 12.25, .fuelOnBoardKg = 103000, .onGround = false, .inReplay = true}, "lbs", "replay|1620 nm|132277 lbs|28777 lbs|16668 lbs|1.117|58.2 nm, progress held", "FIXA 1620 14:40:00 132277 142852 140000 -10575", "0 227076, 1620 132277"},
            {"over FIXA, in kilograms", fixA, "kg", "airborne|1620 nm|60000 kg|13053 kg|7560 kg|1.117|–", "FIXA 1620 14:40:00 60000 64797 63503 -4797", "0 103000, 1620 60000"},
            {"landed", {.latitude = 40.64, .longitude = -73.78, .fuelOnBoardKg = 20000, .groundSpeedKnots = 20}, "kg", "landed|4000 nm|20000 kg|20000 kg|20000 kg|0.971|–", "FIXA 1620 14:40:00 60000 64797 63503 -4797; KJFK 4000 15:20:00 20000 17850 18144 +2150", "0 103000, 1620 60000, 4000 20000"},
        };
        // clang-format on
        const auto fixRows = [this] {
            const auto& table = *check()->findChild<QTableWidget*>(toQ(ui::control::fixesPassed));
            QStringList rows(table.rowCount());
            for (int cell = 0; cell < table.rowCount() * table.columnCount(); ++cell) {
                const int row = cell / table.columnCount();
                rows[row] += (rows[row].isEmpty() ? u""_s : u" "_s) +
                             table.item(row, cell % table.columnCount())->text();
            }
            return rows.join(u"; "_s);
        };
        const QStringList names =
            u"phase distanceFlown fuelOnBoard predictedLandingFuel "
            "predictedLandingFuelAtCurrentBurn burnFactor offRoute"_s.split(u' ');
        m_xplane->fly({gate});
        openCheck();
        for (const Step& step : steps) {
            if (toQ(unitName(m_window->unit())) != QString::fromUtf8(step.unit)) {
                press(*m_window, u"mnuUnits/mnuKilograms"_s);
            }
            m_now = m_now.addSecs(600);
            m_xplane->fly({step.moment});
            QTRY_COMPARE_WITH_TIMEOUT(figures(names), QString::fromUtf8(step.figures), 5000);
            QCOMPARE(fixRows(), QString::fromUtf8(step.fixes));
            QCOMPARE(points(plot().readings()), QString::fromUtf8(step.points));
        }
        QStringList marks;
        for (const ui::FuelPlot::FixMark& mark : plot().fixes()) {
            marks.append(mark.ident + u' ' + QString::number(mark.distanceNm));
        }
        QCOMPARE(marks.join(u", "_s), u"FIXA 1620, KJFK 4000"_s);
        QCOMPARE(shown(toQ(ui::control::landing)),
                 u"Landed with 20000 kg on board: 83000 kg burnt against 85457 kg planned, burn "
                 "factor 0.971."_s);

        // Kept, and shown again from File > Flights… as the check window showed it.
        const QString live = figures(names) + fixRows() + points(plot().readings()) +
                             marks.join(u", "_s) + shown(toQ(ui::control::landing));
        check()->close();
        QTRY_VERIFY(check() == nullptr);
        backToTheMainWindow();
        QTest::qWait(100);  // a reading stopped by the close gives up within 50 ms
        const auto requests = m_xplane->requests().size();
        press(*m_window, u"mnuFile/mnuFlights"_s);
        QCOMPARE(listRows(),
                 u"2000-01-01 14:20|LIRF → KJFK|85457|83000|0.971|20000|17850|landed"_s);
        click(*flights(), toQ(ui::control::cmdOpenFlight));
        QTRY_VERIFY(check() != nullptr);
        QCOMPARE(check()->windowTitle(), u"Flight 1: LIRF → KJFK, 2000-01-01 14:20 UTC"_s);
        marks.clear();
        for (const ui::FuelPlot::FixMark& mark : plot().fixes()) {
            marks.append(mark.ident + u' ' + QString::number(mark.distanceNm));
        }
        QCOMPARE(figures(names) + fixRows() + points(plot().readings()) + marks.join(u", "_s) +
                     shown(toQ(ui::control::landing)),
                 live);
        QTest::qWait(300);  // three readings' time: the flight of the log reads none
        QCOMPARE(m_xplane->requests().size(), requests);
    }

    // The list newest first, a flight deleted only once the pilot says yes, the list as CSV, and
    // the fuel factor learnt in words.
    void listsTheFlightsKept() {
        {
            flightlog::FlightLog log;
            keptFlight(log, 1.04, 1);
            keptFlight(log, 1.06, 2);
            keptFlight(log, 1.05, 3);
        }
        press(*m_window, u"mnuFile/mnuFlights"_s);
        QVERIFY(QTest::qWaitForWindowExposed(flights()));
        // Every column in sight as the window opens, or the window as wide as the screen.
        const auto& list = *flights()->findChild<QTableWidget*>(toQ(ui::control::flightList));
        QVERIFY(list.horizontalHeader()->length() <= list.viewport()->width() ||
                flights()->frameGeometry().width() >= flights()->screen()->availableSize().width());
        QCOMPARE(flights()->findChild<QLabel*>(toQ(ui::control::fuelFactorNote))->text(),
                 u"Your last 3 flights burnt 5.0 % more than planned, from +4.0 % to +6.0 %."_s);
        QCOMPARE(listRows(),
                 u"1970-01-01 03:00|EGLL → KJFK|188400|197820|1.050|40000|39352|landed; "
                 "1970-01-01 02:00|EGLL → KJFK|188400|199704|1.060|40000|39352|landed; "
                 "1970-01-01 01:00|EGLL → KJFK|188400|195936|1.040|40000|39352|landed"_s);
        QStringList asked;
        bool yes = false;
        ui::setConfirmationHandler([&](const QString& question) {
            asked.append(question);
            return yes;
        });
        click(*flights(), toQ(ui::control::cmdDeleteFlight));
        yes = true;
        click(*flights(), toQ(ui::control::cmdDeleteFlight));
        ui::setConfirmationHandler({});
        QCOMPARE(asked.join(u'|'),
                 u"Delete the flight EGLL → KJFK of 1970-01-01 03:00 from the log?|"
                 "Delete the flight EGLL → KJFK of 1970-01-01 03:00 from the log?"_s);
        QCOMPARE(listRows().count(u"landed"_s), 2);
        QCOMPARE(flights()->findChild<QLabel*>(toQ(ui::control::fuelFactorNote))->text(),
                 u"No fuel factor yet: it is learnt from 3 landed flights or more."_s);
        press(*m_window, u"mnuUnits/mnuKilograms"_s);
        QVERIFY(listRows().startsWith(u"1970-01-01 02:00|EGLL → KJFK|85457|90584|1.060|"_s));
        const QTemporaryDir folder;
        dialogs().files = {folder.filePath(u"flights.csv"_s)};
        click(*flights(), toQ(ui::control::cmdExportFlights));
        std::ifstream csv(folder.filePath(u"flights.csv"_s).toStdString());
        std::string header;
        std::string first;
        std::getline(csv, header);
        std::getline(csv, first);
        QCOMPARE(QString::fromStdString(first),
                 u"2,1970-01-01T02:00:00Z,\"EGLL\",\"KJFK\",\"KBOS\",188400,199704,1.060,40000,"
                 "39352,,landed"_s);
    }

    // Aircraft > Use My Fuel Factor: off at first; ticked, Calculate plans with the factor and the
    // flight plan fuel's note says so; remembered by the next window; unticked, today's figures.
    void appliesTheFuelFactorWhenTicked() {
        {
            flightlog::FlightLog log;
            keptFlight(log, 1.04, 1);
            keptFlight(log, 1.06, 2);
            keptFlight(log, 1.05, 3);
        }
        auto* tick = m_window->findChild<QAction*>(toQ(ui::control::mnuFuelFactor));
        QVERIFY(!tick->isChecked());
        QCOMPARE(text(*m_window, cell::txtFPF), u"188400"_s);
        press(*m_window, u"mnuAircraft/mnuFuelFactor"_s);
        QVERIFY(!m_window->findChild<QAction*>(toQ(ui::control::mnuFuelCheck))->isEnabled());
        press(*m_window, u"Alt+C"_s);
        QCOMPARE(text(*m_window, cell::txtFPF), u"197820"_s);
        QCOMPARE(text(*m_window, cell::txtFL), u"239172"_s);
        QCOMPARE(control(*m_window, cell::txtFPF)->toolTip(),
                 u"With your fuel factor +5.0 %: your last 3 flights burnt 5.0 % more than "
                 "planned, from +4.0 % to +6.0 %."_s);
        openCheck();
        QCOMPARE(shown(toQ(ui::control::fuelFactorNote)),
                 u"Your last 3 flights burnt 5.0 % more than planned, from +4.0 % to +6.0 %; this "
                 "plan is made with it (+5.0 %)."_s);
        check()->close();
        m_window = openWindow();
        QVERIFY(m_window->findChild<QAction*>(toQ(ui::control::mnuFuelFactor))->isChecked());
        press(*m_window, u"mnuAircraft/mnuFuelFactor"_s);
        enterPlan(*m_window, samplePlan());
        press(*m_window, u"Alt+C"_s);
        QCOMPARE(text(*m_window, cell::txtFPF), u"188400"_s);
        QCOMPARE(control(*m_window, cell::txtFPF)->toolTip(), QString());
    }

    // Another aircraft in X-Plane is told in the load's words, and nothing is checked.
    void refusesAnotherAircraft() {
        m_xplane = std::make_unique<XPlaneStandIn>(XPlaneStandIn::twinJet());
        ui::writeSetting(ui::kXPlaneAddress, toQ(m_xplane->url()));
        openCheck();
        QTRY_VERIFY(shown(toQ(ui::control::answerReason))
                        .startsWith(u"The aircraft loaded in X-Plane is not a 747-400"_s));
        QCOMPARE(figures(), QStringList(10, u"–"_s).join(u'|'));
    }

    // A plan whose fuel load is beyond any 747-400's (8000 minutes of contingency) is told in the
    // check window; X-Plane is not read.
    void refusesAPlanItCannotCheck() {
        paste(*m_window, cell::txtContingencyTime, u"8000"_s);
        press(*m_window, u"Alt+C"_s);
        openCheck();
        QVERIFY2(shown(toQ(ui::control::planNote))
                     .startsWith(u"The fuel is not checked: The plan's figures are no flight's"_s),
                 qPrintable(shown(toQ(ui::control::planNote))));
        QTest::qWait(300);
        QVERIFY(m_xplane->requests().empty());
    }

    // Against an X-Plane that never answers (within the pilot's 5 s), in kilograms: no figures
    // yet, the plot in kilograms from the start; the item chosen again raises the one check window
    // without a second reading; closing the check window, or Exit in the main window, ends the
    // reading under way at once, and no other follows.
    void closingStopsReading() {
        qunsetenv("BRIMWELL_TEST_XPLANE_BOUND_MS");
        m_xplane->setSilent(true);
        m_window->setUnit(Unit::Kilograms);
        openCheck();
        QTRY_COMPARE(m_xplane->requests().size(), std::size_t{1});
        QCOMPARE(figures(), QStringList(10, u"–"_s).join(u'|'));  // nothing read yet
        QCOMPARE(plot().reserves(), 13767.0);
        backToTheMainWindow();
        openCheck();
        QCOMPARE(m_window->findChildren<ui::FuelCheckWindow*>().size(), 1);
        QElapsedTimer clock;
        clock.start();
        check()->close();
        QVERIFY2(clock.elapsed() < 250, QByteArray::number(clock.elapsed()));
        QTest::qWait(500);
        QCOMPARE(m_xplane->requests().size(), std::size_t{1});

        backToTheMainWindow();
        openCheck();
        QTRY_COMPARE(m_xplane->requests().size(), std::size_t{2});
        backToTheMainWindow();
        press(*m_window, u"Command1"_s);  // the main window answers meanwhile
        QCOMPARE(text(*m_window, cell::txtZFW), QString());
        clock.restart();
        press(*m_window, u"Alt+E"_s);
        QVERIFY2(clock.elapsed() < 250, QByteArray::number(clock.elapsed()));
        QVERIFY(check() == nullptr || !check()->isVisible());
        QTest::qWait(500);
        QCOMPARE(m_xplane->requests().size(), std::size_t{2});
    }
};

QTEST_MAIN(FuelCheckTest)
#include "fuel_check_test.moc"
