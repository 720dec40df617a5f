// A pilot's SimBrief flight plan in the window: opened from the menu or by Ctrl+O, dropped, or
// fetched from a stand-in of SimBrief on 127.0.0.1; the cells it fills, the results it empties,
// the summary and the messages; the SimBrief user name remembered from one window to the next.

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <new>
#include <stdexcept>

#include "engine/cell_names.h"
#include "tests/support/flight_plan_file.h"
#include "tests/support/simbrief_standin.h"
#include "tests/support/window_driver.h"
#include "ui/background_work.h"
#include "ui/control_names.h"
#include "ui/settings.h"

using namespace brimwell;
using namespace brimwell::engine;
using namespace brimwell::test;
using brimwell::ui::MainWindow;
using namespace Qt::StringLiterals;

namespace {

// Another flight than the sample OFP's (the sample plan), calculated before each test.
const CellTexts kBefore = with(samplePlan(), {{cell::txtOriginICAO, "EGLL"},
                                              {cell::txtDestinationDistance, "3000"},
                                              {cell::cmbWindDirection, "Tail"},
                                              {cell::cmbFlightLevel, "FL310"},
                                              {cell::txtPayLoad, "90000"}});
// The summary of the sample OFP under its heading, with the lines changed as given.
QString summary(const QString& heading, const QList<std::pair<QString, QString>>& changes = {}) {
    QString text = heading +
                   u"\n    Origin: LIRF\n    Destination: KJFK\n    Destination "
                   "distance: 4000 nm\n    Alternate: KBOS\n    Alternate distance: 200 "
                   "nm\n    Wind direction: Head\n    Wind: 50 knots\n    Flight level: "
                   "FL350\n    Payload: 100000 lbs\n    Taxi fuel burn off: 2000 lbs\n\n"
                   "The contingency time, the minimum landing fuel and the correction "
                   "stay as you set them. Check them, then press Calculate."_s;
    for (const auto& [from, to] : changes) {
        text.replace(from, to);
    }
    return text;
}

QByteArray ofp(const OfpChanges& changes = {}) {
    return QByteArray::fromStdString(ofpText(changes));
}

}  // namespace

class FlightPlanTest final : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    std::unique_ptr<SimbriefStandIn> m_simbrief;  // outlives the window of each test
    std::unique_ptr<MainWindow> m_window;

    QString writePlan(const QByteArray& content) {
        QFile file(m_folder.filePath(u"plan"_s));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
            qFatal("the plan cannot be written");
        }
        return file.fileName();
    }

    // What SimBrief was asked, path and query as sent.
    QStringList targets() const {
        QStringList sent;
        for (const ReceivedRequest& request :
             m_simbrief ? m_simbrief->requests() : std::vector<ReceivedRequest>{}) {
            sent.append(toQ(request.target));
        }
        return sent;
    }

    void standInForSimbrief(HttpStandIn::Handler fetch) {
        m_simbrief = std::make_unique<SimbriefStandIn>(std::move(fetch));
        qputenv("BRIMWELL_SIMBRIEF_URL", QByteArray::fromStdString(m_simbrief->url()));
    }

  private Q_SLOTS:
    void init() {
        m_window.reset();
        m_simbrief.reset();
        warnings().clear();
        dialogs() = {};
        ui::writeSetting(ui::kSimbriefUser, {});  // as on a first run
        m_window = openWindow();
        enterPlan(*m_window, kBefore);
        click(*m_window, ui::control::cmdCalculate);
    }

    // How the file is opened (a cell=value pasted first), what it holds, the cells then (none:
    // nothing changed) and the message, %1 where it names the file.
    void open_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<CellTexts>("cells");
        QTest::addColumn<QString>("message");
        const QString heading = u"The flight plan plan filled:"_s;  // the file is named plan
        const QString level = u"    Flight level: FL350\n"_s;
        QTest::newRow("XML") << u"Ctrl+O"_s << ofp() << samplePlan() << summary(heading);
        QTest::newRow("level too high, dropped")
            << u"drop"_s << ofp({.fields = {{"general/initial_altitude", "45000"}}})
            << with(samplePlan(), {{cell::cmbFlightLevel, "FL310"}})
            << summary(heading, {{level, {}},
                                 {u"2000 lbs\n"_s,
                                  u"2000 lbs\n\nNot filled, kept as they were:\n    Flight level "
                                  "not filled: general/initial_altitude \"45000\" is outside the "
                                  "list's flight levels FL310 to FL410\n"_s}});
        QTest::newRow("dropped on a cell")
            << u"drop txtPayLoad"_s << ofp() << samplePlan() << summary(heading);
        QTest::newRow("no OFP") << u"Ctrl+O"_s << QByteArray("Hello") << CellTexts{}
                                << u"The flight plan was not opened: %1 is not a SimBrief flight "
                                   "plan (OFP): it is neither XML nor JSON"_s;
        QTest::newRow("refused payload") << u"txtPayLoad=150000 Ctrl+O"_s << ofp() << CellTexts{}
                                         << u"Payload: please enter a value lower then 140.912"_s;
    }
    void open() {
        QFETCH(QString, how);
        QFETCH(QByteArray, content);
        const QString file = writePlan(content);
        if (how.contains(u'=')) {
            paste(*m_window, how.section(u'=', 0, 0), how.section(u'=', 1).section(u' ', 0, 0));
        }
        const QStringList before = cellStates(*m_window);
        dialogs().files = QStringList{file};
        if (how.startsWith(u"drop"_s)) {
            dropFile(*m_window, how.section(u' ', 1), file);
        } else {
            press(*m_window, how.section(u' ', -1));
        }
        QFETCH(QString, message);
        QCOMPARE(warnings(), QStringList{message.replace(u"%1"_s, file)});
        QCOMPARE(dialogs().asked.size(), how.startsWith(u"drop"_s) || how.contains(u'=') ? 0 : 1);
        QFETCH(CellTexts, cells);
        if (cells.empty()) {
            QCOMPARE(cellStates(*m_window), before);
            return;
        }
        for (const auto& [name, expected] : cells) {
            QCOMPARE(text(*m_window, name), toQ(expected));
        }
        QCOMPARE(text(*m_window, cell::txtZFW), QString());  // the results emptied
    }

    // The user name as typed, what SimBrief was asked, its answer (its status, -1: nothing
    // listens; its body; how it misbehaves) and the message (%1 where it names SimBrief's host
    // and port); the window answers a click while it waits. The link's answer to each misbehaviour
    // is the planner's test's; the window's own risk is the wait.
    void fetch_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("misbehaviour");
        QTest::addColumn<QString>("message");
        const QString fetcher = u"/api/xml.fetcher.php?"_s;
        const QString whose = u"The latest flight plan of SimBrief user "_s;
        QTest::newRow("user name")
            << u" Jo + Ann&Co "_s << fetcher + u"username=Jo%20%2B%20Ann%26Co"_s << 200 << ofp()
            << int(Misbehaviour::None) << summary(whose + u"Jo + Ann&Co filled:"_s);
        QTest::newRow("unknown pilot ID")
            << u"123456"_s << fetcher + u"userid=123456"_s << 400
            << QByteArray::fromStdString(SimbriefStandIn::error("Error: Unknown UserID").body)
            << int(Misbehaviour::None)
            << whose +
                   u"123456 was not fetched: SimBrief answered with HTTP status 400: \"Error: "
                   "Unknown UserID\""_s;
        QTest::newRow("no OFP") << u"jo"_s << fetcher + u"username=jo"_s << 200
                                << QByteArray("<html/>") << int(Misbehaviour::None)
                                << whose +
                                       u"jo was not read: SimBrief's answer is not a SimBrief "
                                       "flight plan (OFP): its root element is <html>, not "
                                       "<OFP>"_s;
        QTest::newRow("nothing listens")
            << u"jo"_s << QString() << -1 << QByteArray() << int(Misbehaviour::None)
            << whose +
                   u"jo was not fetched: SimBrief could not be reached: nothing answers at %1"_s;
        QTest::newRow("never answers")
            << u"jo"_s << fetcher + u"username=jo"_s << 200 << ofp() << int(Misbehaviour::Silent)
            << whose + u"jo was not fetched: SimBrief did not answer within 0.5 seconds"_s;
    }
    void fetch() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(int, misbehaviour);
        standInForSimbrief([&](const ReceivedRequest&) {
            return HttpReply{.status = status,
                             .body = body.toStdString(),
                             .contentType = "application/xml",
                             .misbehaviour = Misbehaviour(misbehaviour)};
        });
        const QString address = toQ(m_simbrief->url()).remove(u"http://"_s);
        if (status < 0) {
            m_simbrief.reset();
        }
        m_window->setFetchBound(std::chrono::milliseconds(500));
        QFETCH(QString, user);
        dialogs().texts = QStringList{user};
        QElapsedTimer clock;
        clock.start();
        press(*m_window, u"mnuFile/mnuFetchFlightPlan Command1"_s);
        QCOMPARE(text(*m_window, cell::txtZFW), QString());
        QTRY_COMPARE_WITH_TIMEOUT(warnings().size(), 1, 5000);
        QVERIFY(clock.elapsed() < 1500);
        QFETCH(QString, message);
        QVERIFY(!message.endsWith(u"0.5 seconds"_s) || clock.elapsed() >= 500);
        QCOMPARE(warnings().first(), message.replace(u"%1"_s, address));
        QFETCH(QString, target);
        QCOMPARE(targets(), target.isEmpty() ? QStringList() : QStringList{target});
        const bool filled = warnings().first().endsWith(u"press Calculate."_s);
        for (const auto& [name, expected] : filled ? samplePlan() : kBefore) {
            QCOMPARE(text(*m_window, name), toQ(expected));
        }
    }

    // A link that throws on the worker's thread, as a stand-in of one: the window is told why, in
    // words, and goes on.
    void aLinkThatThrows_data() {
        QTest::addColumn<int>("thrown");
        QTest::addColumn<QString>("why");
        QTest::newRow("its own words") << 0 << u"no?route?[2J"_s;
        QTest::newRow("no memory") << 1 << u"the computer has no memory left for it"_s;
        QTest::newRow("not an exception") << 2 << u"it failed in a way Brimwell does not know"_s;
    }
    void aLinkThatThrows() {
        QFETCH(int, thrown);
        std::optional<links::Outcome<std::string>> told;
        const auto work = ui::runInBackground<links::Outcome<std::string>>(
            *m_window, "the fetch from SimBrief",
            [thrown](links::LinkControl&) -> links::Outcome<std::string> {
                if (thrown == 0) {
                    throw std::runtime_error("no\nroute\x1b[2J");
                }
                if (thrown == 1) {
                    throw std::bad_alloc();
                }
                throw 2;  // NOLINT(misc-throw-by-value-catch-by-reference): no exception
            },
            [&told](links::Outcome<std::string> answer) { told = std::move(answer); },
            [](std::string reason) { return links::Refused{std::move(reason)}; });
        QTRY_VERIFY(told.has_value());
        QFETCH(QString, why);
        QCOMPARE(told->done(), false);
        QCOMPARE(
            toQ(told->refused().reason),
            u"Brimwell could not finish the fetch from SimBrief: "_s + why + u". Try again."_s);
    }

    // The user name asked once, remembered by the next window too, and changed from the menu.
    // A file dropped while a fetch waits, and Exit, end the fetch: nothing more comes of it.
    void aSessionOfFetches() {
        standInForSimbrief([](const ReceivedRequest& request) {
            return request.target.find("userid") != std::string::npos
                       ? HttpReply{.misbehaviour = Misbehaviour::Silent}
                       : HttpReply{.body = ofpText({}), .contentType = "application/xml"};
        });
        dialogs().texts = QStringList{u"jo"_s, u"77"_s};
        const QString fetch = u"mnuFile/mnuFetchFlightPlan"_s;
        press(*m_window, fetch);
        QTRY_COMPARE(warnings().size(), 1);
        press(*m_window, fetch);
        QTRY_COMPARE(warnings().size(), 2);
        m_window = openWindow();
        m_window->setFetchBound(std::chrono::milliseconds(500));
        press(*m_window, fetch);
        QTRY_COMPARE(warnings().size(), 3);
        press(*m_window, u"mnuFile/mnuSimbriefUser "_s + fetch);
        QTRY_COMPARE(m_simbrief->requests().size(), std::size_t{4});
        dropFile(*m_window, {}, writePlan(ofp()));
        press(*m_window, fetch);
        QTRY_COMPARE(m_simbrief->requests().size(), std::size_t{5});
        QElapsedTimer clock;
        clock.start();
        press(*m_window, u"Alt+E"_s);  // the fetch under way stops at once
        QVERIFY2(clock.elapsed() < 250, QByteArray::number(clock.elapsed()));
        QVERIFY(!m_window->isVisible());
        QTest::qWait(700);  // past the bound
        QCOMPARE(targets().join(u' ').remove(u"/api/xml.fetcher.php?"_s),
                 u"username=jo username=jo username=jo userid=77 userid=77"_s);
        const QString question = u"Your SimBrief user name or pilot ID: "_s;
        QCOMPARE(dialogs().asked, (QStringList{question, question + u"jo"_s}));
        QCOMPARE(warnings().size(), 4);  // three plans fetched, one dropped
    }
};

QTEST_MAIN(FlightPlanTest)
#include "flight_plan_test.moc"
