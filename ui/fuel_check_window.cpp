#include "ui/fuel_check_window.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTimeZone>
#include <QVBoxLayout>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "base/shown_text.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "engine/number_text.h"
#include "flightlog/flight_keeper.h"
#include "flightlog/flight_log.h"
#include "flightlog/fuel_factor.h"
#include "links/test_setting.h"
#include "ui/background_work.h"
#include "ui/colour_contrast.h"
#include "ui/control_names.h"
#include "ui/fuel_plot.h"
#include "ui/qt_text.h"
#include "ui/settings.h"

using namespace Qt::StringLiterals;

namespace brimwell::ui {

using engine::FuelCheck;
using engine::FuelCheckRefused;
using engine::FuelPlanLine;
using engine::FuelStatus;
using engine::statusWords;
using engine::toText;
using engine::Unit;
using engine::weightIn;

namespace {

constexpr std::chrono::milliseconds kInterval{5000};
// The plan's line is drawn through this many points at most, evenly along the way.
constexpr double kMostPlanSteps = 200;

std::function<QTime()>& testClock() {
    static std::function<QTime()> clock;
    return clock;
}

QTime now() {
    return testClock() ? testClock()() : QTime::currentTime();
}

// A figure of the check, its caption and its place: the row, and the column of the pair.
struct FigureRow {
    const char* name;
    const char* caption;
    int row;
    int column;
};
constexpr std::array<FigureRow, 14> kFigureRows = {{
    {"status", "Status", 0, 0},
    {"phase", "Phase", 0, 2},
    {"distanceFlown", "Distance flown", 1, 0},
    {"distanceToGo", "To go", 1, 1},
    {"offRoute", "Off the route", 1, 2},
    {"fuelOnBoard", "Fuel on board", 2, 0},
    {"plannedFuelOnBoard", "Planned here", 2, 1},
    {"difference", "Difference", 2, 2},
    {"predictedLandingFuel", "Landing fuel predicted", 3, 0},
    {"plannedLandingFuel", "Planned", 3, 1},
    {"margin", "Margin", 3, 2},
    {"reserves", "Reserves", 4, 0},
    {"predictedLandingFuelAtCurrentBurn", "At the burn so far", 4, 1},
    {"burnFactor", "Burn factor", 4, 2},
}};

// The columns of the fixes passed; the weights' captions take the unit.
enum FixColumn { Ident, Distance, Time, Fuel, Planned, OfpPlanned, Difference, ColumnCount };
constexpr std::array<const char*, ColumnCount> kFixCaptions = {
    "Fix", "nm", "UTC", "Fuel on board", "Planned", "SimBrief's plan", "Difference"};

// A time of the watch (UTC seconds since 1970) as hh:mm:ss.
QString utcText(double time) {
    constexpr double kLatest = 253'402'300'799;  // the end of the year 9999
    if (!std::isfinite(time) || time < 0 || time > kLatest) {
        return u"–"_s;
    }
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(time), QTimeZone::utc())
        .toString(u"hh:mm:ss"_s);
}

// The status's colour, before it is made to read on the window's background.
QColor statusColour(FuelStatus status) {
    switch (status) {
        case FuelStatus::OnPlan:
            return {0, 128, 0};
        case FuelStatus::ContingencyInUse:
            return {176, 96, 0};
        case FuelStatus::ReservesAtRisk:
            break;
    }
    return {192, 0, 0};
}

// The plan's fuel on board (lbs) from 0 nm to the destination, evenly along the way.
QList<QPointF> planLineOf(const FuelPlanLine& plan) {
    const double distance = plan.destinationDistance();
    const int steps = static_cast<int>(std::min(std::ceil(distance), kMostPlanSteps));
    QList<QPointF> line;
    for (int step = 0; step <= steps; ++step) {
        const double x = steps > 0 ? distance * step / steps : 0;
        if (const std::optional<double> fuel = plan.plannedFuelOnBoard(x)) {
            line.append({x, *fuel});
        }
    }
    return line;
}

QLabel* plainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);  // X-Plane's words are never markup
    return label;
}

}  // namespace

std::chrono::milliseconds fuelCheckInterval() {
    return links::testSetting("BRIMWELL_TEST_FUEL_CHECK_INTERVAL_MS", kInterval);
}

void setFuelCheckClock(std::function<QTime()> clock) {
    testClock() = std::move(clock);
}

FuelCheckWindow::FuelCheckWindow(std::variant<FuelPlanLine, FuelCheckRefused> plan,
                                 std::optional<flightplan::Route> route, Unit unit,
                                 const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Window), m_unit(unit), m_lastGood(now()), m_plot(new FuelPlot(this)) {
    QLabel& note = build(title.isEmpty() ? u"Fuel Check"_s : u"Fuel Check: "_s + title);
    if (const auto* refused = std::get_if<FuelCheckRefused>(&plan)) {
        showRefusal(note, u"The fuel is not checked: "_s + toQString(refused->reason));
        return;
    }
    m_watch.emplace(std::get<FuelPlanLine>(std::move(plan)), std::move(route));
    m_watch->addListener(*this);
    note.setText(
        u"Checked against the plan as it stood at %1%2. A plan changed in the main window "
        "since is not checked here: close this window and choose Fuel Check again."_s.arg(
            m_lastGood.toString(u"hh:mm"_s),
            m_watch->hasRoute() ? u", along the flight plan's route"_s
                                : u", by the distance travelled (no flight plan's route)"_s));
    m_plot->setPlan(planLineOf(m_watch->plan()), m_watch->plan().reserves());
    showCheck();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &FuelCheckWindow::readingDue);
    startReading();
}

FuelCheckWindow::FuelCheckWindow(const flightlog::KeptFlight& flight, Unit unit, QWidget* parent)
    : QWidget(parent, Qt::Window), m_unit(unit), m_lastGood(now()), m_plot(new FuelPlot(this)) {
    const auto& entry = flight.entry;
    const QString when =
        QDateTime::fromSecsSinceEpoch(static_cast<qint64>(entry.takeoffTime), QTimeZone::utc())
            .toString(u"yyyy-MM-dd hh:mm"_s);
    QLabel& note = build(u"Flight %1: %2 → %3, %4 UTC"_s.arg(
        QString::number(entry.id), toQString(entry.origin), toQString(entry.destination), when));
    // The plan as the log keeps it, in pounds, read as the check read it then.
    engine::MemoryCells cells;
    for (const auto& [name, text] : flight.plan.cells) {
        try {
            cells.setText(name, text);
        } catch (const std::invalid_argument&) {
            continue;  // no cell of this Brimwell's
        }
    }
    auto plan = FuelPlanLine::read(cells);
    if (const auto* refused = std::get_if<FuelCheckRefused>(&plan)) {
        showRefusal(note, u"This flight's plan cannot be shown: "_s + toQString(refused->reason));
        return;
    }
    m_watch.emplace(std::get<FuelPlanLine>(std::move(plan)), std::nullopt);
    m_answer->hide();
    note.setText(u"The flight of %1 UTC from the flight log, as it was watched%2."_s.arg(
        when, entry.landed ? QString() : u"; its watch ended before the landing"_s));
    m_plot->setPlan(planLineOf(m_watch->plan()), m_watch->plan().reserves());
    flightlog::retell(flight, *this);
    showCheck();
}

QLabel& FuelCheckWindow::build(const QString& title) {
    setObjectName(toQString(control::frmFuelCheck));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);

    auto* layout = new QVBoxLayout(this);
    auto* figures = new QWidget(this);
    buildFigures(*figures);
    layout->addWidget(figures);
    m_answer = plainLabel(u"X-Plane: reading…"_s, this);
    m_answer->setObjectName(toQString(control::answer));
    layout->addWidget(m_answer);
    m_reason = plainLabel({}, this);
    m_reason->setObjectName(toQString(control::answerReason));
    m_reason->setWordWrap(true);
    m_reason->hide();
    layout->addWidget(m_reason);
    m_plot->setObjectName(toQString(control::plot));
    m_plot->setUnit(m_unit);
    layout->addWidget(m_plot, 1);
    buildFixTable();
    layout->addWidget(m_fixes);
    m_landing = plainLabel({}, this);
    m_landing->setObjectName(toQString(control::landing));
    m_landing->setWordWrap(true);
    m_landing->hide();
    layout->addWidget(m_landing);
    QLabel* note = plainLabel({}, this);
    note->setObjectName(toQString(control::planNote));
    note->setWordWrap(true);
    layout->addWidget(note);
    m_logNote = plainLabel({}, this);
    m_logNote->setObjectName(toQString(control::logNote));
    m_logNote->setWordWrap(true);
    m_logNote->hide();
    layout->addWidget(m_logNote);
    return *note;
}

void FuelCheckWindow::showRefusal(QLabel& note, const QString& text) {
    note.setText(text);
    findChild<QWidget*>(toQString(control::figures))->hide();
    m_answer->hide();
    m_plot->hide();
    m_fixes->hide();
}

void FuelCheckWindow::keepIn(const flightlog::PlannedFlight& plan) {
    if (!m_watch) {
        return;
    }
    m_log = std::make_unique<flightlog::FlightLog>();
    const auto tell = [this](const std::string& told) {
        m_logNote->setText(toQString(told));
        m_logNote->show();
    };
    if (!m_log->notice().empty()) {
        tell(m_log->notice());
    }
    m_keeper = std::make_unique<flightlog::FlightKeeper>(*m_log, plan, tell);
    m_watch->addListener(*m_keeper);
    // The pilot's fuel factor, and whether this plan is made with it.
    if (const auto learnt = flightlog::learntFuelFactor(m_log->flights())) {
        QString text = toQString(flightlog::factorSentence(*learnt));
        text[0] = text[0].toUpper();
        auto* factor = plainLabel(
            text + (plan.fuelFactor ? u"; this plan is made with it (%1)."_s.arg(
                                          toQString(engine::fuelFactorPercent(*plan.fuelFactor)))
                                    : u"; this plan is made without it."_s),
            this);
        factor->setObjectName(toQString(control::fuelFactorNote));
        factor->setWordWrap(true);
        layout()->addWidget(factor);
    }
}

FuelCheckWindow::~FuelCheckWindow() = default;

void FuelCheckWindow::buildFigures(QWidget& figures) {
    figures.setObjectName(toQString(control::figures));
    auto* grid = new QGridLayout(&figures);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);
    for (const FigureRow& row : kFigureRows) {
        const QString caption = QString::fromUtf8(row.caption);
        grid->addWidget(plainLabel(caption + u':', &figures), row.row, 2 * row.column);
        QLabel* value = plainLabel({}, &figures);
        value->setObjectName(QString::fromUtf8(row.name));
        value->setAccessibleName(caption);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        const bool status = std::string_view(row.name) == "status";
        grid->addWidget(value, row.row, 2 * row.column + 1, 1, status ? 3 : 1);
        if (status) {
            QFont large = value->font();
            large.setBold(true);
            if (large.pointSizeF() > 0) {
                large.setPointSizeF(large.pointSizeF() * 1.25);
            } else {
                large.setPixelSize(large.pixelSize() * 5 / 4);
            }
            value->setFont(large);
        } else {
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        m_figures.emplace(value->objectName(), value);
    }
}

void FuelCheckWindow::buildFixTable() {
    m_fixes = new QTableWidget(0, ColumnCount, this);
    m_fixes->setObjectName(toQString(control::fixesPassed));
    m_fixes->setAccessibleName(u"Fixes passed"_s);
    m_fixes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fixes->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_fixes->verticalHeader()->hide();
    m_fixes->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_fixes->horizontalHeader()->setStretchLastSection(true);
    // Five rows in sight; more scroll.
    m_fixes->setFixedHeight(m_fixes->horizontalHeader()->sizeHint().height() +
                            5 * m_fixes->verticalHeader()->defaultSectionSize() +
                            2 * m_fixes->frameWidth());
}

QLabel& FuelCheckWindow::figure(const char* name) const {
    return *m_figures.at(QString::fromUtf8(name));
}

void FuelCheckWindow::addFlightListener(flight::FlightListener& listener) {
    if (m_watch) {
        m_watch->addListener(listener);
    }
}

void FuelCheckWindow::removeFlightListener(flight::FlightListener& listener) {
    if (m_watch) {
        m_watch->removeListener(listener);
    }
}

void FuelCheckWindow::setUnit(Unit unit) {
    m_unit = unit;
    m_plot->setUnit(unit);
    showCheck();
    for (int row = 0; row < m_fixes->rowCount(); ++row) {
        showFix(row, m_passed.at(static_cast<std::size_t>(row)));
    }
}

void FuelCheckWindow::showCheck() {
    QLabel& status = figure("status");
    const QString unitName = u' ' + toQString(engine::unitName(m_unit));
    QStringList captions;
    for (int column = 0; column < ColumnCount; ++column) {
        captions.append(QString::fromUtf8(kFixCaptions.at(column)) +
                        (column >= Fuel ? u" ("_s + unitName.trimmed() + u')' : QString()));
    }
    m_fixes->setHorizontalHeaderLabels(captions);
    if (!m_check) {
        for (auto& [name, label] : m_figures) {
            label->setText(u"–"_s);
        }
        if (m_read) {
            figure("phase").setText(toQString(flight::phaseWords(m_phase)));
        }
        status.setPalette({});
        return;
    }
    const FuelCheck& check = m_check->check;
    const auto weight = [&](double pounds) -> QString {
        return toQString(toText(weightIn(pounds, m_unit))) + unitName;
    };
    const auto signedWeight = [&](double pounds) -> QString {
        return (weightIn(pounds, m_unit) > 0 ? u"+"_s : QString()) + weight(pounds);
    };
    figure("distanceFlown").setText(toQString(toText(check.distanceFlown)) + u" nm"_s);
    figure("distanceToGo").setText(toQString(toText(check.distanceToGo)) + u" nm"_s);
    figure("fuelOnBoard").setText(weight(check.fuelOnBoard));
    figure("plannedFuelOnBoard").setText(weight(check.plannedFuelOnBoard));
    figure("difference").setText(signedWeight(check.difference));
    figure("predictedLandingFuel").setText(weight(check.predictedLandingFuel));
    figure("plannedLandingFuel").setText(weight(check.plannedLandingFuel));
    figure("margin").setText(signedWeight(check.margin));
    figure("reserves").setText(weight(check.reserves));
    figure("phase").setText(toQString(flight::phaseWords(m_phase)));
    figure("offRoute")
        .setText(m_check->offRouteNm
                     ? QString::number(*m_check->offRouteNm, 'f', 1) + u" nm, progress held"_s
                     : u"–"_s);
    figure("predictedLandingFuelAtCurrentBurn")
        .setText(m_check->predictedLandingFuelAtCurrentBurn
                     ? weight(*m_check->predictedLandingFuelAtCurrentBurn)
                     : u"–"_s);
    figure("burnFactor")
        .setText(m_check->burnFactor ? QString::number(*m_check->burnFactor, 'f', 3) : u"–"_s);
    status.setText(toQString(statusWords(check.status)));
    QPalette colours = status.palette();
    colours.setColor(QPalette::WindowText,
                     legibleOn(statusColour(check.status), palette().color(QPalette::Window)));
    status.setPalette(colours);
}

void FuelCheckWindow::readingDue() {
    if (m_reading != nullptr) {
        m_due = true;  // one reading at a time: the next follows this one
    } else {
        startReading();
    }
}

void FuelCheckWindow::startReading() {
    m_due = false;
    m_timer.start(fuelCheckInterval());
    const QString setting = readSetting(kXPlaneAddress);
    const std::optional<links::XPlaneAddress> address =
        links::parseXPlaneUrl(setting.toStdString());
    if (!address) {
        showNoAnswer(
            u"\"%1\" is not an address of X-Plane. Give it as http://host:port under "
            "Aircraft, X-Plane Address… in the main window."_s.arg(
                toQString(base::shownAddress(setting.toStdString()))));
        return;
    }
    try {
        m_reading = runInBackground<ReadOutcome>(
            *this, "the reading of X-Plane",
            [address = *address, bound = links::xplaneBound(),
             checkAircraft = !m_aircraftChecked](links::LinkControl& control) {
                return links::readXPlaneFlight(address, bound, checkAircraft, control);
            },
            [this](const ReadOutcome& outcome) { readingFinished(outcome); },
            [](std::string reason) { return links::XPlaneFlightRefused{{std::move(reason)}}; });
    } catch (const std::system_error& failure) {
        showNoAnswer(u"X-Plane was not read: "_s + toQString(failure.what()) +
                     u". Close other programs; the check reads again meanwhile."_s);
    }
}

void FuelCheckWindow::readingFinished(const ReadOutcome& outcome) {
    m_reading.reset();
    if (!outcome.done()) {
        showNoAnswer(toQString(outcome.refused().reason));
    } else {
        m_aircraftChecked = true;
        flight::Reading reading = outcome.value();
        if (testClock()) {  // the test's time of day, as UTC
            reading.time = static_cast<double>(
                QDateTime(QDate(2000, 1, 1), now(), QTimeZone::utc()).toSecsSinceEpoch());
        }
        m_watch->read(reading);  // told back through reading() and fixPassed()
    }
    if (m_due) {
        startReading();
    }
}

void FuelCheckWindow::reading(const flight::WatchedReading& reading) {
    if (!reading.refusal.empty()) {
        showNoAnswer(toQString(reading.refusal));
        return;
    }
    m_read = true;
    m_phase = reading.phase;
    m_lastGood = now();
    if (reading.checked) {
        m_check = reading.checked;
        m_plot->addReading({m_check->check.distanceFlown, m_check->check.fuelOnBoard});
    }
    showCheck();
    m_answer->setText(u"X-Plane: read at "_s + m_lastGood.toString(u"hh:mm:ss"_s));
    m_reason->hide();
}

void FuelCheckWindow::fixPassed(const flight::PassedFix& fix) {
    m_passed.push_back(fix);
    const int row = m_fixes->rowCount();
    m_fixes->insertRow(row);
    showFix(row, fix);
    m_plot->addFix(fix.distanceNm, toQString(fix.ident));
    m_fixes->scrollToBottom();
}

void FuelCheckWindow::showFix(int row, const flight::PassedFix& fix) {
    const auto weight = [this](std::optional<double> pounds, bool sign) -> QString {
        if (!pounds) {
            return u"–"_s;
        }
        const double shown = weightIn(*pounds, m_unit);
        return (sign && shown > 0 ? u"+"_s : QString()) + toQString(toText(shown));
    };
    const std::array<QString, ColumnCount> texts = {
        toQString(fix.ident),
        toQString(toText(fix.distanceNm)),
        utcText(fix.time),
        weight(fix.fuelOnBoard, false),
        weight(fix.plannedFuelOnBoard, false),
        weight(fix.ofpPlannedFuelOnBoard, false),
        weight(fix.difference, true),
    };
    for (int column = 0; column < ColumnCount; ++column) {
        auto* item = new QTableWidgetItem(texts.at(column));
        if (column != Ident) {
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        m_fixes->setItem(row, column, item);
    }
}

void FuelCheckWindow::landed(const flight::FlightSummary& summary) {
    const auto weight = [this](double pounds) -> QString {
        return toQString(toText(weightIn(pounds, m_unit))) + u' ' +
               toQString(engine::unitName(m_unit));
    };
    m_landing->setText(
        u"Landed with %1 on board: %2 burnt against %3 planned, burn factor %4."_s.arg(
            weight(summary.fuelOnBoard), summary.tripBurn ? weight(*summary.tripBurn) : u"–"_s,
            weight(summary.plannedTripBurn),
            summary.burnFactor ? QString::number(*summary.burnFactor, 'f', 3) : u"–"_s));
    m_landing->show();
}

void FuelCheckWindow::showNoAnswer(const QString& reason) {
    m_answer->setText(u"X-Plane: no answer since "_s + m_lastGood.toString(u"hh:mm"_s));
    m_reason->setText(reason);
    m_reason->show();
}

// A change of the colour scheme recolours the status.
void FuelCheckWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange && m_watch) {
        showCheck();
    }
    QWidget::changeEvent(event);
}

// Stops the reading under way, at once: the link gives up within 50 ms of its control's stop.
void FuelCheckWindow::closeEvent(QCloseEvent* event) {
    m_timer.stop();
    m_reading.reset();
    QWidget::closeEvent(event);
}

}  // namespace brimwell::ui
