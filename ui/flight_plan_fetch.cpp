#include "ui/flight_plan_fetch.h"

#include <QUrlQuery>
#include <QtGlobal>
#include <algorithm>
#include <utility>

#include "modules/module_loader.h"

namespace brimwell::ui {

QUrl latestFlightPlanAddress(const QString& user) {
    QString base = qEnvironmentVariable("BRIMWELL_SIMBRIEF_URL");
    if (base.isEmpty()) {
        base = QStringLiteral("https://www.simbrief.com");
    }
    QUrl address(base + QStringLiteral("/api/xml.fetcher.php"));
    const bool pilotId =
        !user.isEmpty() && std::all_of(user.begin(), user.end(), [](QChar character) {
            return character >= u'0' && character <= u'9';
        });
    // Every character but the unreserved ones is escaped: a "+" left as it is would be read as
    // a space, an "&" as the end of the name.
    address.setQuery(
        QString::fromLatin1((pilotId ? "userid=" : "username=") + QUrl::toPercentEncoding(user)),
        QUrl::StrictMode);
    return address;
}

FlightPlanFetch::FlightPlanFetch(QObject& owner, const QString& user,
                                 std::chrono::milliseconds bound,
                                 std::function<void(const Outcome&)> done) {
    const auto start =
        moduleFunction<SimbriefModuleEntry>(kSimbriefModuleFile, kSimbriefModuleEntry);
    m_fetch = start(latestFlightPlanAddress(user), bound, owner,
                    [this, done = std::move(done)](const Outcome& outcome) {
                        m_ended = true;
                        done(outcome);  // may end this object's life
                    });
}

FlightPlanFetch::~FlightPlanFetch() {
    if (!m_ended) {
        delete m_fetch.data();
    }
}

}  // namespace brimwell::ui
