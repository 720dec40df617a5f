// The menu bar and a pilot's SimBrief flight plan: opened, dropped on the window or fetched from
// a stand-in of SimBrief on 127.0.0.1; the cells it fills, the results it empties, the summary and
// the messages; the SimBrief user name remembered from one window to the next.

#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include "engine/cell_names.h"
#include "tests/support/flight_plan_file.h"
#include "tests/support/http_stand_in.h"
#include "tests/support/window_driver.h"
#include "ui/settings.h"

using namespace brimwell;
using namespace brimwell::test;
using namespace Qt::StringLiterals;
using namespace std::string_literals;

Q_DECLARE_METATYPE(brimwell::test::CellTexts)
Q_DECLARE_METATYPE(brimwell::test::OfpSpec)

namespace {

// A flight other than the sample OFP's, calculated before each test.
const CellTexts kBefore = with(
    samplePlan(),
    {{cell::txtOriginICAO, "EGLL"}, {cell::cmbFlightLevel, "FL310"}, {cell::txtPayLoad, "90000"}});
// What the sample OFP fills, as the summary says it.
const QStringList kSampleLines =
    u"Origin: LIRF|Destination: KJFK|Destination distance: 4000 nm|Alternate: KBOS|"
    "Alternate distance: 200 nm|Wind direction: Head|Wind: 50 knots|Flight level: FL350|"
    "Payload: 100000 lbs|Taxi fuel burn off: 2000 lbs"_s.split(u'|');
const CellTexts kSampleCells = {
    {cell::txtOriginICAO, "LIRF"},          {cell::txtDestinationICAO, "KJFK"},
    {cell::txtDestinationDistance, "4000"}, {cell::txtAlternateICAO, "KBOS"},
    {cell::cmbAlternateDistance, "200"},    {cell::cmbWindDirection, "Head"},
    {cell::txtWindIntensity, "50"},         {cell::cmbFlightLevel, "FL350"},
    {cell::txtPayLoad, "100000"},           {cell::txtTFB, "2000"}};
const QString kUnknownUser =
    u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<OFP>\n<fetch>\n<userid></userid>\n"
    "<static_id></static_id>\n<status>Error: Unknown UserID</status>\n<time>0.0021</time>\n"
    "</fetch>\n</OFP>\n"_s;

// The answer of a service that has hung: none.
const HttpAnswer kHung{.status = 0, .body = {}, .contentType = {}, .never = true};

// The summary after a plan filled the cells: the heading, a line a cell, the fields not read.
QString summary(const QString& heading, const QStringList& filled, const QStringList& unmapped) {
    QString text = heading + u"\n    "_s + filled.join(u"\n    "_s);
    if (!unmapped.isEmpty()) {
        text += u"\n\nNot filled, kept as they were:\n    "_s + unmapped.join(u"\n    "_s);
    }
    return text +
           u"\n\nThe contingency time, the minimum landing fuel and the correction stay "
           "as you set them. Check them, then press Calculate."_s;
}

QStringList resultTexts(const QWidget& window) {
    QStringList texts;
    for (const auto name : cell::kResults) {
        texts.append(text(window, name));
    }
    return texts;
}

}  // namespace

class FlightPlanTest final : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    std::unique_ptr<HttpStandIn> m_simbrief;  // outlives the window of each test
    std::unique_ptr<MainWindow> m_window;

    void standInForSimbrief(std::function<HttpAnswer(const HttpRequest&)> answer) {
        m_simbrief = std::make_unique<HttpStandIn>(std::move(answer));
        qputenv("BRIMWELL_SIMBRIEF_URL", QByteArray::fromStdString(m_simbrief->address()));
    }

    QString writeFile(const QString& name, const std::string& content) {
        QFile file(m_folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(content.data(), static_cast<qint64>(content.size())) < 0) {
            qFatal("%s cannot be written", qPrintable(name));
        }
        return file.fileName();
    }

  private Q_SLOTS:
    void init() {
        m_window.reset();
        m_simbrief.reset();
        warnings().clear();
        dialogs() = {};
        ui::writeSetting(ui::kSimbriefUser, {});  // every test starts as on a first run
        m_window = openWindow();
        enterPlan(*m_window, kBefore);
        click(*m_window, "cmdCalculate");
    }

    // A file opened from the menu, by Ctrl+O or dropped: the cells it fills and the message.
    void open_data() {
        QTest::addColumn<QString>("how");  // steps (see press), or "drop" on a control
        QTest::addColumn<QString>("file");
        QTest::addColumn<OfpSpec>("plan");
        QTest::addColumn<CellTexts>("cells");
        QTest::addColumn<QString>("message");
        const QString heading = u"The flight plan plan.xml filled:"_s;
        QStringList kilograms = kSampleLines;
        kilograms[8] = u"Payload: 100002 lbs (45360 kg in the flight plan)"_s;
        kilograms[9] = u"Taxi fuel burn off: 2000 lbs (907 kg in the flight plan)"_s;
        QStringList noLevel = kSampleLines;
        noLevel.removeAt(7);
        const QString level =
            u"Flight level not filled: general/initial_altitude \"45000\" is "
            "outside the list's flight levels FL310 to FL410"_s;
        const OfpSpec sample;
        const OfpSpec inKilograms{
            .json = true,
            .fields = {
                {"params/units", "kgs"}, {"weights/payload", "45360"}, {"fuel/taxi", "907"}}};
        QTest::newRow("XML by Ctrl+O") << u"Ctrl+O"_s << u"plan.xml"_s << sample << kSampleCells
                                       << summary(heading, kSampleLines, {});
        QTest::newRow("JSON in kgs from the menu")
            << u"mnuFile/mnuOpenFlightPlan"_s << u"plan.json"_s << inKilograms
            << with(kSampleCells, {{cell::txtPayLoad, "100002"}})
            << summary(u"The flight plan plan.json filled:"_s, kilograms, {});
        QTest::newRow("level too high dropped on the window")
            << u"drop"_s << u"plan.xml"_s
            << OfpSpec{.fields = {{"general/initial_altitude", "45000"}}}
            << with(kSampleCells, {{cell::cmbFlightLevel, "FL310"}})
            << summary(heading, noLevel, {level});
        QTest::newRow("dropped on a cell") << u"drop txtPayLoad"_s << u"plan.xml"_s << sample
                                           << kSampleCells << summary(heading, kSampleLines, {});
    }
    void open() {
        QFETCH(QString, how);
        QFETCH(QString, file);
        QFETCH(OfpSpec, plan);
        const QString path = writeFile(file, ofpText(plan));
        if (how.startsWith(u"drop"_s)) {
            dropFile(*m_window, how.section(u' ', 1), path);
        } else {
            dialogs().files = QStringList{path};
            press(*m_window, how);
            QCOMPARE(dialogs().asked, QStringList{u"Open Flight Plan"_s});
        }
        QFETCH(QString, message);
        QCOMPARE(warnings(), QStringList{message});
        QFETCH(CellTexts, cells);
        for (const auto& [name, expected] : with(kBefore, cells)) {
            QCOMPARE(text(*m_window, name), toQ(expected));
        }
        QCOMPARE(resultTexts(*m_window), QStringList(cell::kResults.size(), QString()));
    }

    // What is not opened changes nothing: a file that is no flight plan, a cancelled dialog, a
    // refused value in the cell that holds the focus. %1 is the file.
    void notOpened_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("asked");  // how many times the file dialog was opened
        const char* const refused =
            "The flight plan was not opened: %1 is not a SimBrief flight "
            "plan (OFP): ";
        addRow("Ctrl+O", "Hello", (refused + "it is neither XML nor JSON"s).c_str(), "1");
        addRow("drop", "<html/>", (refused + "its root element is <html>, not <OFP>"s).c_str(),
               "0");
        addRow("Ctrl+O", "", "", "1");  // cancelled
        addRow("txtPayLoad=150000 Ctrl+O", "<OFP/>",
               "Payload: please enter a value lower then 140.912", "0");
    }
    void notOpened() {
        QFETCH(QString, how);
        QFETCH(QString, content);
        const QString path = writeFile(u"plan.txt"_s, content.toStdString());
        if (how.contains(u'=')) {  // a value pasted into a cell first
            paste(*m_window, how.section(u'=', 0, 0), how.section(u'=', 1).section(u' ', 0, 0));
        }
        const QStringList before = cellStates(*m_window);
        dialogs().files = content.isEmpty() ? QStringList{} : QStringList{path};
        if (how == u"drop"_s) {
            dropFile(*m_window, {}, path);
        } else {
            press(*m_window, how.section(u' ', -1));
        }
        QFETCH(QString, message);
        QCOMPARE(warnings(), message.isEmpty() ? QStringList() : QStringList{message.arg(path)});
        QCOMPARE(cellStates(*m_window), before);
        QTEST(QString::number(dialogs().asked.size()), "asked");
    }

    // A fetch from the stand-in: the request it received, the cells and the message.
    void fetch_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("query");  // as the stand-in decoded it
        // The stand-in's answer; 0: it never answers, -1: it has stopped, nothing listens.
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("message");
        const QString whose = u"The latest flight plan of SimBrief user "_s;
        const QString sample = QString::fromStdString(ofpText({}));
        QTest::newRow("user name")
            << u" Jo + Ann&Co "_s << u"username=Jo + Ann&Co"_s << 200 << sample
            << summary(whose + u"Jo + Ann&Co filled:"_s, kSampleLines, {});
        QTest::newRow("pilot ID") << u"123456"_s << u"userid=123456"_s << 400 << kUnknownUser
                                  << whose +
                                         u"123456 was not fetched: SimBrief answered "
                                         "\"Error: Unknown UserID\"."_s;
        QTest::newRow("no OFP") << u"jo"_s << u"username=jo"_s << 200 << u"<html/>"_s
                                << whose +
                                       u"jo was not read: SimBrief's answer is not a SimBrief "
                                       "flight plan (OFP): its root element is <html>, not "
                                       "<OFP>"_s;
        QTest::newRow("server error") << u"jo"_s << u"username=jo"_s << 503 << u"busy"_s
                                      << whose +
                                             u"jo was not fetched: SimBrief answered with "
                                             "HTTP status 503 (Service Unavailable)."_s;
        QTest::newRow("nothing listens") << u"jo"_s << QString() << -1 << QString()
                                         << whose +
                                                u"jo was not fetched: SimBrief could not be "
                                                "reached: Connection refused."_s;
        QTest::newRow("never answers") << u"jo"_s << u"username=jo"_s << 0 << QString()
                                       << whose +
                                              u"jo was not fetched: SimBrief did not answer "
                                              "within 0.5 seconds."_s;
    }
    void fetch() {
        QFETCH(QString, user);
        QFETCH(int, status);
        QFETCH(QString, body);
        standInForSimbrief([&](const HttpRequest&) {
            return HttpAnswer{.status = status, .body = body.toStdString(), .never = status == 0};
        });
        if (status < 0) {
            m_simbrief.reset();
        }
        m_window->setFetchBound(std::chrono::milliseconds(500));
        dialogs().texts = QStringList{user};
        QElapsedTimer clock;
        clock.start();
        press(*m_window, u"mnuFile/mnuFetchFlightPlan"_s);
        // The window answers while it waits: Clear empties the results.
        click(*m_window, "Command1");
        QCOMPARE(resultTexts(*m_window), QStringList(cell::kResults.size(), QString()));
        QTRY_COMPARE_WITH_TIMEOUT(warnings().size(), 1, 5000);
        if (status == 0) {
            QVERIFY(clock.elapsed() >= 500);
        }
        QTEST(warnings().first(), "message");
        if (m_simbrief) {
            const std::vector<HttpRequest> received = m_simbrief->requests();
            QCOMPARE(received.size(), std::size_t{1});
            QCOMPARE(toQ(received[0].path), u"/api/xml.fetcher.php"_s);
            QCOMPARE(received[0].query.size(), std::size_t{1});
            const auto& [name, value] = *received[0].query.begin();
            QTEST(QString(toQ(name) + u'=' + toQ(value)), "query");
        }
        const bool filled = warnings().first().endsWith(u"press Calculate."_s);
        for (const auto& [cell, expected] : with(kBefore, filled ? kSampleCells : CellTexts{})) {
            QCOMPARE(text(*m_window, cell), toQ(expected));
        }
    }

    // Asked once, remembered by the next window; changed from the menu.
    void theUserIsRemembered() {
        standInForSimbrief([](const HttpRequest&) { return kHung; });
        dialogs().texts = QStringList{u"jo"_s, u"77"_s};
        const QStringList steps = {u"mnuFile/mnuFetchFlightPlan"_s, u"mnuFile/mnuFetchFlightPlan"_s,
                                   u"mnuFile/mnuSimbriefUser mnuFile/mnuFetchFlightPlan"_s};
        QStringList queries;
        for (const QString& step : steps) {
            m_window = openWindow();
            press(*m_window, step);
            QTRY_COMPARE(m_simbrief->requests().size(),
                         static_cast<std::size_t>(queries.size() + 1));
            const HttpRequest request = m_simbrief->requests().back();
            queries.append(toQ(request.query.begin()->first + '=' + request.query.begin()->second));
        }
        QCOMPARE(queries, (QStringList{u"username=jo"_s, u"username=jo"_s, u"userid=77"_s}));
        const QString question = u"Your SimBrief user name or pilot ID: "_s;
        QCOMPARE(dialogs().asked, (QStringList{question, question + u"jo"_s}));
        QCOMPARE(warnings(), QStringList());
    }

    // Exit while a fetch waits: the window closes at once and nothing comes of the fetch.
    void exitDuringAFetch() {
        standInForSimbrief([](const HttpRequest&) { return kHung; });
        m_window->setFetchBound(std::chrono::milliseconds(200));
        dialogs().texts = QStringList{u"jo"_s};
        press(*m_window, u"mnuFile/mnuFetchFlightPlan"_s);
        QTRY_COMPARE(m_simbrief->requests().size(), 1U);
        press(*m_window, u"Alt+E"_s);
        QVERIFY(!m_window->isVisible());
        QTest::qWait(400);
        QCOMPARE(warnings(), QStringList());
    }

    // The menu's access key opens it; the buttons keep theirs.
    void accessKeys_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("shown");  // what it changes: a cell's text, or a widget shown
        addRow("Alt+F", "mnuFile");
        addRow("Alt+C", "txtZFW 490088");
        addRow("Alt+L", "txtZFW ");
        addRow("Alt+E", "window hidden");
        addRow("Alt+P", "printed");
    }
    void accessKeys() {
        QFETCH(QString, key);
        QFETCH(QString, shown);
        RecordingPrinter printer;
        m_window->setPrinterFactory(
            [&printer] { return std::make_unique<RecordingPrinter>(printer); });
        paste(*m_window, toQ(cell::txtPayLoad), u"96000"_s);
        press(*m_window, key);
        auto* menu = m_window->findChild<QMenuBar*>()->findChild<QMenu*>(u"mnuFile"_s);
        QCOMPARE(menu->isVisible(), shown == u"mnuFile"_s);
        menu->close();
        QCOMPARE(m_window->isVisible(), shown != u"window hidden"_s);
        QCOMPARE(printer.operations->empty(), shown != u"printed"_s);
        if (shown.startsWith(u"txtZFW"_s)) {
            QCOMPARE(text(*m_window, cell::txtZFW), shown.section(u' ', 1));
        }
    }
};

QTEST_MAIN(FlightPlanTest)
#include "flight_plan_test.moc"
