#include "ui/flight_plan_opener.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QWidget>
#include <exception>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "base/shown_text.h"
#include "engine/cell_names.h"
#include "flightplan/flight_plan.h"
#include "links/simbrief/simbrief.h"
#include "ui/background_work.h"
#include "ui/dialogs.h"
#include "ui/qt_text.h"
#include "ui/settings.h"
#include "ui/window_cells.h"

using namespace Qt::StringLiterals;

namespace brimwell::ui {

using base::shownText;
using engine::Unit;
using engine::UnitCells;

namespace {

// What the pilot reads after a plan has filled the cells: what went where, what did not and why.
QString summaryOf(const flightplan::FlightPlanReading& reading, const QString& heading, Unit unit) {
    QString summary = heading;
    for (const flightplan::FilledCell& filled : reading.filled) {
        summary += u"\n    "_s + toQString(flightplan::describe(filled, unit));
    }
    if (!reading.unmapped.empty()) {
        summary += u"\n\nNot filled, kept as they were:"_s;
        for (const flightplan::UnmappedField& unmapped : reading.unmapped) {
            summary += u"\n    "_s + toQString(flightplan::describe(unmapped));
        }
    }
    if (!reading.routeLeftOut.empty()) {
        summary += u"\n\n"_s + toQString(reading.routeLeftOut);
    }
    return summary +
           u"\n\nThe contingency time, the minimum landing fuel and the correction "
           "stay as you set them. Check them, then press Calculate."_s;
}

}  // namespace

FlightPlanOpener::FlightPlanOpener(QWidget& window, UnitCells& cells, QAction& fetchAction,
                                   std::function<void()> clearResults,
                                   std::function<void()> busyChanged)
    : m_window(window),
      m_cells(cells),
      m_fetchAction(fetchAction),
      m_clearResults(std::move(clearResults)),
      m_busyChanged(std::move(busyChanged)),
      m_fetchBound(links::simbriefBound()) {}

FlightPlanOpener::~FlightPlanOpener() = default;

void FlightPlanOpener::openChosenFile() {
    const QString file = chooseFileToOpen(&m_window, u"Open Flight Plan"_s,
                                          u"SimBrief flight plans (*.xml *.json)"_s);
    if (!file.isEmpty()) {
        open(file);
    }
}

void FlightPlanOpener::open(const QString& file) {
    stopFetch();
    fill([&file] { return flightplan::readFlightPlanFile(QFile::encodeName(file).toStdString()); },
         u"The flight plan "_s + toQString(shownText(QFileInfo(file).fileName().toStdString())) +
             u" filled:"_s,
         u"The flight plan was not opened: "_s);
}

void FlightPlanOpener::fill(const std::function<flightplan::FlightPlanReading()>& read,
                            const QString& heading, const QString& failure) {
    // The reader throws nothing by its word; should it ever, the window still does not end.
    try {
        const flightplan::FlightPlanReading reading = read();
        if (reading.refusal) {
            showWarning(&m_window, failure + toQString(*reading.refusal));
            return;
        }
        m_clearResults();  // the results no longer match the flight data
        for (const flightplan::FilledCell& filled : reading.filled) {
            flightplan::fill(m_cells, filled);
        }
        m_route = reading.route;
        m_routeOrigin = m_cells.text(engine::cell::txtOriginICAO);
        m_routeDestination = m_cells.text(engine::cell::txtDestinationICAO);
        showSummary(&m_window, summaryOf(reading, heading, m_cells.unit()));
    } catch (const std::exception& error) {
        showWarning(&m_window, failure + toQString(error.what()));
    }
}

void FlightPlanOpener::fetchLatest() {
    if (fetching()) {
        return;
    }
    QString user = readSetting(kSimbriefUser);
    if (user.isEmpty()) {
        user = askSimbriefUser();
        if (user.isEmpty()) {
            return;
        }
    }
    try {
        m_fetch = runInBackground<links::Outcome<std::string>>(
            m_window, "the fetch from SimBrief",
            [user = user.toStdString(), bound = m_fetchBound](links::LinkControl& control) {
                return links::fetchLatestFlightPlan(user, bound, control);
            },
            [this, user](const links::Outcome<std::string>& outcome) {
                fetchFinished(user, outcome);
            },
            [](std::string reason) { return links::Refused{std::move(reason)}; });
    } catch (const std::system_error& failure) {
        fetchFinished(user, links::Refused{failure.what()});
        return;
    }
    // Fetching again waits for this one; the busy pointer says that the window is at work.
    m_fetchAction.setEnabled(false);
    m_busyChanged();
}

QString FlightPlanOpener::askSimbriefUser() {
    const std::optional<QString> answer = askForText(
        &m_window, u"Your SimBrief user name or pilot ID:"_s, readSetting(kSimbriefUser));
    if (!answer) {
        return {};
    }
    writeSetting(kSimbriefUser, answer->trimmed());
    return answer->trimmed();
}

bool FlightPlanOpener::fetching() const {
    return m_fetch != nullptr;
}

void FlightPlanOpener::stopFetch() {
    m_fetch.reset();
    m_fetchAction.setEnabled(true);
    m_busyChanged();
}

void FlightPlanOpener::setFetchBound(std::chrono::milliseconds bound) {
    m_fetchBound = bound;
}

std::optional<flightplan::Route> FlightPlanOpener::route() const {
    if (m_cells.text(engine::cell::txtOriginICAO) != m_routeOrigin ||
        m_cells.text(engine::cell::txtDestinationICAO) != m_routeDestination) {
        return std::nullopt;
    }
    return m_route;
}

void FlightPlanOpener::fetchFinished(const QString& user,
                                     const links::Outcome<std::string>& outcome) {
    stopFetch();
    const QString whose =
        u"The latest flight plan of SimBrief user "_s + toQString(shownText(user.toStdString()));
    if (!outcome.done()) {
        showWarning(&m_window,
                    whose + u" was not fetched: "_s + toQString(outcome.refused().reason));
        return;
    }
    fill([&outcome] { return flightplan::readFlightPlan(outcome.value(), "SimBrief's answer"); },
         whose + u" filled:"_s, whose + u" was not read: "_s);
}

}  // namespace brimwell::ui
