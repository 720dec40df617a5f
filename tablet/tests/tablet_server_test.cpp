// The tablet's server from outside, by a client on raw sockets: pairing, the Host and Origin
// checks, read-only, the bounds and the safety headers, one row each; and what a page is pushed.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tablet/tablet_server.h"
#include "tests/support/raw_web_client.h"

namespace brimwell::tablet {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kShortTimeout = 250ms;

using test::statusOf;
using Client = test::RawWebClient;

class TabletServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Bounds bounds;
        bounds.requestTimeout = kShortTimeout;
        bounds.pingAfter = 100ms;
        bounds.mostQueuedBytes = 256 * 1024;
        m_server = std::make_unique<TabletServer>(bounds);
        ASSERT_EQ(m_server->start("127.0.0.1", 0), std::nullopt);
        port = m_server->port();
        const std::string url = m_server->url();
        key = url.substr(url.find("key=") + 4);
        host = "127.0.0.1:" + std::to_string(port);
        ShownPlan plan;
        plan.cells = {{"txtOriginICAO", "LIRF"}, {"txtFL", "229752"}};
        plan.red = {"txtFL"};
        m_server->showPlan(plan);
    }

    std::string get(const std::string& request, std::chrono::milliseconds bound = 3s) const {
        Client client(port);
        client.send(request);
        return client.receiveAll(bound);
    }
    std::string paired(const std::string& method, const std::string& path,
                       std::chrono::milliseconds bound = 3s) const {
        return get(method + " " + path + " HTTP/1.1\r\nHost: " + host +
                   "\r\nCookie: brimwell_pairing=" + key + "\r\n\r\n",
                   bound);
    }
    std::string upgrade(const std::string& origin, const std::string& cookie) const {
        return test::upgradeRequest(host, origin, cookie);
    }
    // A page connected: the upgrade answered and the snapshot received.
    std::unique_ptr<Client> page(int receiveBuffer = 0) const {
        auto client = std::make_unique<Client>(port, receiveBuffer);
        client->send(upgrade("http://" + host, key));
        EXPECT_TRUE(client->receiveUntil("\"type\":\"snapshot\""));
        return client;
    }
    void waitForDevices(std::size_t count) const {
        const auto end = Clock::now() + 3s;
        while (m_server->devices() != count && Clock::now() < end) {
            std::this_thread::sleep_for(10ms);
        }
    }

    static flight::WatchedReading checkedReading(double fuelOnBoard) {
        flight::WatchedCheck checked;
        checked.time = 1'765'000'000;
        checked.phase = flight::Phase::Airborne;
        checked.check.distanceFlown = 1620;
        checked.check.fuelOnBoard = fuelOnBoard;
        return {checked.time, checked.phase, checked, ""};
    }

    std::unique_ptr<TabletServer> m_server;
    std::uint16_t port = 0;
    std::string key;
    std::string host;
};

TEST_F(TabletServerTest, TheKeyOnceGivesACookieAndLeavesTheAddress) {
    EXPECT_EQ(key.size(), 32U);
    EXPECT_EQ(key.find_first_not_of("0123456789abcdef"), std::string::npos);
    const auto answer = get("GET /?key=" + key + " HTTP/1.1\r\nHost: " + host + "\r\n\r\n");
    EXPECT_EQ(statusOf(answer), "HTTP/1.1 303 See Other");
    EXPECT_NE(answer.find("\r\nLocation: /\r\n"), std::string::npos) << answer;
    EXPECT_NE(answer.find("\r\nSet-Cookie: brimwell_pairing=" + key +
                          "; Path=/; HttpOnly; SameSite=Strict\r\n"),
              std::string::npos)
        << answer;
    EXPECT_EQ(statusOf(paired("GET", "/")), "HTTP/1.1 200 OK");
}

TEST_F(TabletServerTest, EachStartGivesANewKeyAndTheOldCookieNoLonger) {
    ASSERT_EQ(m_server->start("127.0.0.1", port), std::nullopt);
    const std::string url = m_server->url();
    EXPECT_NE(url.substr(url.find("key=") + 4), key);
    EXPECT_EQ(statusOf(paired("GET", "/")), "HTTP/1.1 403 Forbidden");
}

TEST_F(TabletServerTest, WithoutTheKeyOrCookieEveryPathIsForbiddenWithoutAFigure) {
    struct Row {
        std::string path, headers;
    };
    const std::vector<Row> rows = {
        {"/", ""},
        {"/page.js", ""},
        {"/live", ""},
        {"/nothing", ""},
        {"/?key=00000000000000000000000000000000", ""},
        {"/?key=", ""},
        {"/", "Cookie: brimwell_pairing=0123\r\n"},
        {"/", "Cookie: other=" + key + "\r\n"},
    };
    for (const auto& row : rows) {
        const auto answer =
            get("GET " + row.path + " HTTP/1.1\r\nHost: " + host + "\r\n" + row.headers + "\r\n");
        EXPECT_EQ(statusOf(answer), "HTTP/1.1 403 Forbidden") << row.path << row.headers;
        EXPECT_NE(answer.find("Scan the code in Brimwell"), std::string::npos) << row.path;
        EXPECT_EQ(answer.find("229752"), std::string::npos) << row.path;
    }
}

TEST_F(TabletServerTest, AHostNotOfThisServerIsRefused) {
    const std::string p = std::to_string(port);
    struct Row {
        std::string hostHeader;
        std::string status;
    };
    const std::vector<Row> rows = {
        {"Host: " + host + "\r\n", "HTTP/1.1 200 OK"},
        {"Host: localhost:" + p + "\r\n", "HTTP/1.1 200 OK"},
        {"Host: LOCALHOST:" + p + "\r\n", "HTTP/1.1 200 OK"},
        {"Host: attacker.example:" + p + "\r\n", "HTTP/1.1 421 Misdirected Request"},
        {"Host: 127.0.0.1.attacker.example:" + p + "\r\n", "HTTP/1.1 421 Misdirected Request"},
        {"Host: 127.0.0.1:1\r\n", "HTTP/1.1 421 Misdirected Request"},
        {"Host: 127.0.0.1\r\n", "HTTP/1.1 421 Misdirected Request"},
        {"Host: 10.0.0.1:" + p + "\r\n", "HTTP/1.1 421 Misdirected Request"},
        {"", "HTTP/1.1 421 Misdirected Request"},
    };
    for (const auto& row : rows) {
        const auto answer = get("GET /?key=" + key + " HTTP/1.1\r\n" + row.hostHeader +
                                "Cookie: brimwell_pairing=" + key + "\r\n\r\n");
        EXPECT_EQ(statusOf(answer), row.status == "HTTP/1.1 200 OK" ? "HTTP/1.1 303 See Other"
                                                                     : row.status)
            << row.hostHeader;
    }
}

TEST_F(TabletServerTest, OnlyGetAndHeadAreAnswered) {
    for (const std::string method : {"POST", "PUT", "DELETE", "PATCH", "OPTIONS", "CONNECT"}) {
        const auto answer = paired(method, "/");
        EXPECT_EQ(statusOf(answer), "HTTP/1.1 405 Method Not Allowed") << method;
        EXPECT_NE(answer.find("\r\nAllow: GET, HEAD\r\n"), std::string::npos) << method;
    }
    EXPECT_EQ(statusOf(paired("TRACE", "/")), "HTTP/1.1 400 Bad Request");
    const auto head = paired("HEAD", "/");
    EXPECT_EQ(statusOf(head), "HTTP/1.1 200 OK");
    EXPECT_EQ(head.substr(head.find("\r\n\r\n") + 4), "");
}

TEST_F(TabletServerTest, OnlyThePageFilesAreServed) {
    struct Row {
        std::string path, status, type;
    };
    const std::vector<Row> rows = {
        {"/", "HTTP/1.1 200 OK", "text/html; charset=utf-8"},
        {"/page.css", "HTTP/1.1 200 OK", "text/css; charset=utf-8"},
        {"/page.js", "HTTP/1.1 200 OK", "text/javascript; charset=utf-8"},
        {"/..%2f..%2fetc/passwd", "HTTP/1.1 404 Not Found", ""},
        {"/../../etc/passwd", "HTTP/1.1 404 Not Found", ""},
        {"/%2e%2e/%2e%2e/etc/passwd", "HTTP/1.1 404 Not Found", ""},
        {"/etc/passwd", "HTTP/1.1 404 Not Found", ""},
        {"/index.html", "HTTP/1.1 404 Not Found", ""},
        {"/page.js/", "HTTP/1.1 404 Not Found", ""},
        {"/live", "HTTP/1.1 404 Not Found", ""},
        {"//page.js", "HTTP/1.1 404 Not Found", ""},
    };
    for (const auto& row : rows) {
        const auto answer = paired("GET", row.path);
        EXPECT_EQ(statusOf(answer), row.status) << row.path;
        if (!row.type.empty()) {
            EXPECT_NE(answer.find("\r\nContent-Type: " + row.type + "\r\n"), std::string::npos)
                << row.path;
        }
        EXPECT_EQ(answer.find("root:"), std::string::npos) << row.path;
    }
}

TEST_F(TabletServerTest, EveryAnswerCarriesTheSafetyHeaders) {
    const std::vector<std::string> answers = {
        paired("GET", "/"), paired("GET", "/nothing"), paired("POST", "/"),
        get("GET / HTTP/1.1\r\nHost: " + host + "\r\n\r\n"),
        get("GET / HTTP/1.1\r\nHost: attacker.example\r\n\r\n")};
    for (const auto& answer : answers) {
        for (const std::string header : {
                 "\r\nContent-Security-Policy: default-src 'self'; frame-ancestors 'none'\r\n",
                 "\r\nX-Content-Type-Options: nosniff\r\n", "\r\nReferrer-Policy: no-referrer\r\n"}) {
            EXPECT_NE(answer.find(header), std::string::npos) << statusOf(answer) << header;
        }
    }
}

TEST_F(TabletServerTest, HeadersBeyond16KiBAreRefused) {
    const std::string filler(17 * 1024, 'a');
    const auto answer = get("GET / HTTP/1.1\r\nHost: " + host + "\r\nCookie: brimwell_pairing=" +
                            key + "\r\nX-Filler: " + filler + "\r\n\r\n");
    EXPECT_EQ(answer.find("200 OK"), std::string::npos) << statusOf(answer);
    const std::string within(12 * 1024, 'a');
    EXPECT_EQ(statusOf(get("GET / HTTP/1.1\r\nHost: " + host + "\r\nCookie: brimwell_pairing=" +
                           key + "\r\nX-Filler: " + within + "\r\n\r\n")),
              "HTTP/1.1 200 OK");
}

TEST_F(TabletServerTest, ARequestThatDripsIsClosedAtItsTimeout) {
    Client client(port);
    const std::string request = "GET / HTTP/1.1\r\nHost: " + host + "\r\nX-Slow: ";
    const auto start = Clock::now();
    bool closed = false;
    for (std::size_t i = 0; i < 200 && !closed; ++i) {
        closed = !client.send(std::string(1, i < request.size() ? request[i] : 'a')) ||
                 client.closedWithin(20ms);
    }
    EXPECT_TRUE(closed || client.closedWithin(1s));
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_EQ(client.received().find("200 OK"), std::string::npos);
}

TEST_F(TabletServerTest, AHundredIdleConnectionsAreClosedAndTheServerAnswersAgain) {
    std::vector<std::unique_ptr<Client>> idle;
    for (int i = 0; i < 100; ++i) {
        idle.push_back(std::make_unique<Client>(port));
        idle.back()->send("GET / HTTP/1.1\r\n");
    }
    // Queued behind them, at worst until each has had its request timeout.
    EXPECT_EQ(statusOf(paired("GET", "/", 8s)), "HTTP/1.1 200 OK");
    EXPECT_TRUE(idle.back()->closedWithin(1s));
    EXPECT_EQ(idle.front()->received().find("200 OK"), std::string::npos);
}

TEST_F(TabletServerTest, AFloodOfHeaderBytesIsCutOff) {
    Client client(port);
    client.send("GET / HTTP/1.1\r\nHost: " + host + "\r\n");
    const std::string junk(64 * 1024, 'x');
    for (int i = 0; i < 64 && client.send(junk); ++i) {
    }
    EXPECT_TRUE(client.closedWithin(2s));
    EXPECT_EQ(statusOf(paired("GET", "/")), "HTTP/1.1 200 OK");
}

TEST_F(TabletServerTest, TheWebSocketTakesOnlyThePagesOwnOrigin) {
    struct Row {
        std::string origin, cookie, status;
    };
    const std::vector<Row> rows = {
        {"http://" + host, key, "HTTP/1.1 101 Switching Protocols"},
        {"http://attacker.example", key, "HTTP/1.1 403 Forbidden"},
        {"http://" + host + ".attacker.example", key, "HTTP/1.1 403 Forbidden"},
        {"https://" + host, key, "HTTP/1.1 403 Forbidden"},
        {"null", key, "HTTP/1.1 403 Forbidden"},
        {"", key, "HTTP/1.1 403 Forbidden"},
        {"http://" + host, "", "HTTP/1.1 403 Forbidden"},
    };
    for (const auto& row : rows) {
        Client client(port);
        client.send(upgrade(row.origin, row.cookie));
        client.receiveUntil("\r\n\r\n");
        EXPECT_EQ(statusOf(client.received()), row.status) << row.origin << " " << row.cookie;
    }
}

TEST_F(TabletServerTest, APageIsSentThePlanThenEachReadingFixAndLanding) {
    const auto client = page();
    EXPECT_NE(client->received().find(R"("txtFL":"229752")"), std::string::npos);
    EXPECT_NE(client->received().find(R"("red":["txtFL"])"), std::string::npos);
    m_server->reading(checkedReading(132'277));
    EXPECT_TRUE(client->receiveUntil(R"("fuel_on_board":132277)"));
    m_server->fixPassed({"DIVKO", 120.5, 1'765'000'100, 150'000, 151'000, std::nullopt, -1000});
    EXPECT_TRUE(client->receiveUntil(R"("ident":"DIVKO")"));
    m_server->landed({1'765'000'200, 30'000, 190'000, 200'000, 0.95, 1});
    EXPECT_TRUE(client->receiveUntil(R"("type":"landed")"));
    EXPECT_TRUE(client->receiveUntil(R"({"type":"beat"})", 2s));
    // A page that comes later finds the flight so far.
    const auto later = page();
    EXPECT_NE(later->received().find(R"("ident":"DIVKO")"), std::string::npos);
    EXPECT_NE(later->received().find(R"("fuel_on_board":132277)"), std::string::npos);
}

TEST_F(TabletServerTest, ANinthDeviceIsToldTheServerIsFull) {
    std::vector<std::unique_ptr<Client>> pages;
    for (int i = 0; i < 8; ++i) {
        pages.push_back(page());
    }
    EXPECT_EQ(m_server->devices(), 8U);
    Client ninth(port);
    ninth.send(upgrade("http://" + host, key));
    ninth.receiveUntil("\r\n\r\n");
    EXPECT_EQ(statusOf(ninth.received()), "HTTP/1.1 503 Service Unavailable");
    pages.pop_back();
    waitForDevices(7);
    EXPECT_EQ(m_server->devices(), 7U);
    pages.push_back(page());
    EXPECT_EQ(m_server->devices(), 8U);
}

TEST_F(TabletServerTest, APageThatDoesNotReadIsDropped) {
    const auto reader = page();
    Client deaf(port, 4096);
    deaf.send(upgrade("http://" + host, key));
    waitForDevices(2);
    ShownPlan big;
    big.cells = {{"txtOriginICAO", std::string(60'000, 'L')}};
    const auto start = Clock::now();
    for (int i = 0; i < 400 && m_server->devices() == 2; ++i) {
        m_server->showPlan(big);
        reader->receiveAll(5ms);
    }
    waitForDevices(1);
    EXPECT_EQ(m_server->devices(), 1U);
    EXPECT_LT(Clock::now() - start, 8s);
    m_server->reading(checkedReading(99'999));
    EXPECT_TRUE(reader->receiveUntil(R"("fuel_on_board":99999)", 5s));
}

TEST_F(TabletServerTest, StoppingClosesEveryPage) {
    const auto client = page();
    m_server->stop();
    EXPECT_FALSE(m_server->serving());
    EXPECT_EQ(m_server->devices(), 0U);
    EXPECT_TRUE(client->closedWithin(1s));
}

TEST(TabletServerStart, AnAddressNotOfThisComputerIsToldInWords) {
    TabletServer server;
    const auto refused = server.start("example.com", 0);
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(*refused, "\"example.com\" is not an IPv4 address of this computer.");
    const auto unbound = server.start("192.0.2.1", 0);
    ASSERT_TRUE(unbound.has_value());
    EXPECT_EQ(*unbound,
              "Brimwell cannot serve at 192.0.2.1:0: the address is not one of this computer's, "
              "or the port is taken.");
}

}  // namespace
}  // namespace brimwell::tablet
