#pragma once

// The window's one link to SimBrief: fetches the latest flight plan of a SimBrief user from
// SimBrief's fetcher, https://www.simbrief.com/api/xml.fetcher.php?username=NAME (userid=ID for
// a pilot ID, which is all digits), through the module of ui/simbrief_module.h. The window's
// thread only starts it and is told the outcome; the window goes on answering meanwhile.
//
// BRIMWELL_SIMBRIEF_URL, when set, replaces https://www.simbrief.com (tests point it at a
// stand-in on 127.0.0.1).

#include <QPointer>
#include <QString>
#include <QUrl>
#include <chrono>
#include <functional>

#include "ui/simbrief_module.h"

namespace brimwell::ui {

inline constexpr std::chrono::milliseconds kFetchBound = std::chrono::seconds(10);

// The address of the latest flight plan of user: a pilot ID (all digits) or a user name.
QUrl latestFlightPlanAddress(const QString& user);

class FlightPlanFetch final {
  public:
    using Outcome = SimbriefAnswer;

    // Starts the fetch, which may take bound in all; done is called once with its outcome, on
    // owner's thread. Throws brimwell::ModuleError when the module cannot be loaded.
    FlightPlanFetch(QObject& owner, const QString& user, std::chrono::milliseconds bound,
                    std::function<void(const Outcome&)> done);
    // A fetch still under way is aborted, and done is not called.
    ~FlightPlanFetch();
    Q_DISABLE_COPY_MOVE(FlightPlanFetch)

  private:
    QPointer<QObject> m_fetch;
    bool m_ended = false;
};

}  // namespace brimwell::ui
