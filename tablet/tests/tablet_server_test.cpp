// The tablet's server from outside, by a client on raw sockets: pairing, the Host and Origin
// checks, read-only, the bounds and the safety headers, one row each; and what a page is pushed.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
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
        bounds.pingAfter = 10s;  // no ping: the raw client never answers one
        bounds.mostQueuedBytes = 262'144;
        server = std::make_unique<TabletServer>(bounds);
        ASSERT_EQ(server->start("127.0.0.1", 0), std::nullopt);
        port = server->port();
        const std::string url = server->url();
        key = url.substr(url.find("key=") + 4);
        cookie = test::pairingCookie(port, key);
        host = "127.0.0.1:" + std::to_string(port);
        ShownPlan plan;
        plan.cells = {{"txtOriginICAO", "LIRF"}, {"txtFL", "229752"}};
        plan.red = {"txtFL"};
        server->showPlan(plan);
    }

    std::string get(const std::string& request, std::chrono::milliseconds bound = 3s) const {
        Client client(port);
        client.send(request);
        return client.receiveAll(bound);
    }
    std::string paired(const std::string& method, const std::string& path,
                       std::chrono::milliseconds bound = 3s) const {
        return get(method + " " + path + " HTTP/1.1\r\nHost: " + host + "\r\nCookie: " + cookie +
                       "\r\n\r\n",
                   bound);
    }
    std::string upgrade(const std::string& origin, const std::string& cookies) const {
        return test::upgradeRequest(host, origin, cookies);
    }
    // A page connected: the upgrade answered and the snapshot received.
    std::unique_ptr<Client> page(int receiveBuffer = 0) const {
        auto client = std::make_unique<Client>(port, receiveBuffer);
        client->send(upgrade("http://" + host, cookie));
        EXPECT_TRUE(client->receiveUntil("\"type\":\"snapshot\""));
        return client;
    }
    void waitForDevices(std::size_t count) const {
        const auto end = Clock::now() + 3s;
        while (server->devices() != count && Clock::now() < end) {
            std::this_thread::sleep_for(10ms);
        }
    }

    std::unique_ptr<TabletServer> server;
    std::uint16_t port = 0;
    std::string key;
    std::string cookie;  // the pairing cookie's name=key
    std::string host;
};

TEST_F(TabletServerTest, TheKeyOnceGivesACookieAndLeavesTheAddress) {
    // Whatever the path, the browser goes on to the page, by a page of the server's own: never
    // elsewhere, no line added.
    for (const std::string path : {"/", "//attacker.example/", "/%0d%0aX-Added:%20yes"}) {
        const auto answer =
            get("GET " + path + "?key=" + key + " HTTP/1.1\r\nHost: " + host + "\r\n\r\n");
        EXPECT_EQ(statusOf(answer), "HTTP/1.1 200 OK") << path;
        EXPECT_NE(
            answer.find("\r\nSet-Cookie: " + cookie + "; Path=/; HttpOnly; SameSite=Strict\r\n"),
            std::string::npos)
            << answer;
        EXPECT_NE(answer.find(R"(<meta http-equiv="refresh" content="0; url=/">)"),
                  std::string::npos)
            << answer;
        EXPECT_EQ(answer.find("attacker"), std::string::npos) << answer;
        EXPECT_EQ(answer.find("X-Added"), std::string::npos) << answer;
    }
    EXPECT_EQ(statusOf(paired("GET", "/")), "HTTP/1.1 200 OK");
}

TEST_F(TabletServerTest, EachStartGivesANewKeyAndTheOldCookieNoLonger) {
    ASSERT_EQ(server->start("127.0.0.1", port), std::nullopt);
    const std::string url = server->url();
    EXPECT_NE(url.substr(url.find("key=") + 4), key);
    EXPECT_EQ(statusOf(paired("GET", "/")), "HTTP/1.1 403 Forbidden");
}

// The window's server and a planner's on one computer, one browser paired with both: it keeps
// cookies by host, whatever the port, and sends every one it holds to either.
TEST_F(TabletServerTest, TwoServersOfOneComputerKeepTheirPairingsApart) {
    TabletServer other;
    ASSERT_EQ(other.start("127.0.0.1", 0), std::nullopt);
    const std::string otherHost = "127.0.0.1:" + std::to_string(other.port());
    std::map<std::string, std::string> jar;  // the browser's cookies of 127.0.0.1, by name
    const auto visit = [&](std::uint16_t at, const std::string& atHost, const std::string& query) {
        std::string cookies;
        for (const auto& [name, value] : jar) {
            cookies.append(cookies.empty() ? "" : "; ").append(name).append("=").append(value);
        }
        Client client(at);
        client.send("GET /" + query + " HTTP/1.1\r\nHost: " + atHost + "\r\n" +
                    (cookies.empty() ? "" : "Cookie: " + cookies + "\r\n") + "\r\n");
        const std::string answer = client.receiveAll(3s);
        if (const auto found = answer.find("\r\nSet-Cookie: "); found != std::string::npos) {
            const auto start = found + 14;
            const auto equals = answer.find('=', start);
            jar[answer.substr(start, equals - start)] =
                answer.substr(equals + 1, answer.find(';', equals) - equals - 1);
        }
        return statusOf(answer);
    };
    const std::string otherUrl = other.url();
    EXPECT_EQ(visit(port, host, "?key=" + key), "HTTP/1.1 200 OK");
    EXPECT_EQ(visit(other.port(), otherHost, otherUrl.substr(otherUrl.find("?key="))),
              "HTTP/1.1 200 OK");
    EXPECT_EQ(visit(port, host, ""), "HTTP/1.1 200 OK");
    EXPECT_EQ(visit(other.port(), otherHost, ""), "HTTP/1.1 200 OK");
    EXPECT_EQ(jar.size(), 2U);
}

TEST_F(TabletServerTest, WithoutTheKeyOrCookieEveryPathIsForbiddenWithoutAFigure) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"/", ""},
        {"/page.js", ""},
        {"/live", ""},
        {"/?key=00000000000000000000000000000000", ""},
        {"/", "Cookie: " + test::pairingCookie(port, "0123") + "\r\n"},
        {"/", "Cookie: brimwell_pairing=" + key + "\r\n"},
        {"/", "Cookie: " + test::pairingCookie(static_cast<std::uint16_t>(port + 1), key) + "\r\n"},
        {"/", "Cookie: other=" + key + "\r\n"},
    };
    const auto request = [&](const std::string& path, const std::string& headers) {
        return "GET " + path + " HTTP/1.1\r\nHost: " + host + "\r\n" + headers + "\r\n";
    };
    for (const auto& [path, headers] : rows) {
        const auto answer = get(request(path, headers));
        EXPECT_EQ(statusOf(answer), "HTTP/1.1 403 Forbidden") << path << headers;
        EXPECT_NE(answer.find("Scan the code in Brimwell"), std::string::npos) << path;
        EXPECT_EQ(answer.find("229752"), std::string::npos) << path;
    }
}

TEST_F(TabletServerTest, AHostNotOfThisServerIsRefused) {
    const std::string p = std::to_string(port);
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"Host: " + host + "\r\n", "HTTP/1.1 200 OK"},
        {"Host: localhost:" + p + "\r\n", "HTTP/1.1 200 OK"},
        {"Host: attacker.example:" + p + "\r\n", "HTTP/1.1 421 Misdirected Request"},
        {"Host: 127.0.0.1.attacker.example:" + p + "\r\n", "HTTP/1.1 421 Misdirected Request"},
        {"Host: 127.0.0.1:1\r\n", "HTTP/1.1 421 Misdirected Request"},
        {"Host: 127.0.0.1\r\n", "HTTP/1.1 421 Misdirected Request"},
        {"Host: 10.0.0.1:" + p + "\r\n", "HTTP/1.1 421 Misdirected Request"},
        {"", "HTTP/1.1 421 Misdirected Request"},
        {"Host: " + host + "\r\nHost: attacker.example\r\n", "HTTP/1.1 421 Misdirected Request"},
    };
    for (const auto& [hostHeader, status] : rows) {
        EXPECT_EQ(statusOf(get("GET /?key=" + key + " HTTP/1.1\r\n" + hostHeader + "\r\n")), status)
            << hostHeader;
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
    const std::vector<std::pair<std::string, std::string>> served = {
        {"/", "text/html"}, {"/page.css", "text/css"}, {"/page.js", "text/javascript"}};
    for (const auto& [path, type] : served) {
        const auto answer = paired("GET", path);
        EXPECT_EQ(statusOf(answer), "HTTP/1.1 200 OK") << path;
        EXPECT_NE(answer.find("\r\nContent-Type: " + type + "; charset=utf-8\r\n"),
                  std::string::npos)
            << path;
    }
    for (const std::string path :
         {"/..%2f..%2fetc/passwd", "/../../etc/passwd", "/%2e%2e/%2e%2e/etc/passwd", "/etc/passwd",
          "/index.html", "/page.js/", "/live", "//page.js"}) {
        const auto answer = paired("GET", path);
        EXPECT_EQ(statusOf(answer), "HTTP/1.1 404 Not Found") << path;
        EXPECT_EQ(answer.find("root:"), std::string::npos) << path;
    }
}

TEST_F(TabletServerTest, EveryAnswerCarriesTheSafetyHeaders) {
    const std::vector<std::string> answers = {
        paired("GET", "/"), paired("GET", "/nothing"), paired("POST", "/"),
        get("GET / HTTP/1.1\r\nHost: " + host + "\r\n\r\n"),
        get("GET / HTTP/1.1\r\nHost: attacker.example\r\n\r\n")};
    for (const auto& answer : answers) {
        for (const std::string header :
             {"\r\nContent-Security-Policy: default-src 'self'; frame-ancestors 'none'\r\n",
              "\r\nX-Content-Type-Options: nosniff\r\n", "\r\nReferrer-Policy: no-referrer\r\n"}) {
            EXPECT_NE(answer.find(header), std::string::npos) << statusOf(answer) << header;
        }
    }
}

TEST_F(TabletServerTest, HeadersBeyond16KiBAreRefusedAndAFloodCutOff) {
    const auto filled = [&](std::size_t kib) {
        return "GET / HTTP/1.1\r\nHost: " + host + "\r\nCookie: " + cookie +
               "\r\nX-Filler: " + std::string(kib * 1024, 'a') + "\r\n\r\n";
    };
    EXPECT_EQ(get(filled(17)).find("200 OK"), std::string::npos);
    EXPECT_EQ(statusOf(get(filled(12))), "HTTP/1.1 200 OK");
    Client flood(port);
    for (int i = 0; i < 64 && flood.send(filled(64)); ++i) {
    }
    EXPECT_TRUE(flood.closedWithin(2s));
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

TEST_F(TabletServerTest, TheWebSocketTakesOnlyThePagesOwnOrigin) {
    struct Row {
        std::string origin, cookie, status;
    };
    const std::vector<Row> rows = {
        {"http://" + host, cookie, "HTTP/1.1 101 Switching Protocols"},
        {"http://attacker.example", cookie, "HTTP/1.1 403 Forbidden"},
        {"http://" + host + ".attacker.example", cookie, "HTTP/1.1 403 Forbidden"},
        {"https://" + host, cookie, "HTTP/1.1 403 Forbidden"},
        {"", cookie, "HTTP/1.1 403 Forbidden"},
        {"http://" + host, "", "HTTP/1.1 403 Forbidden"},
    };
    for (const auto& row : rows) {
        Client client(port);
        client.send(upgrade(row.origin, row.cookie));
        client.receiveUntil("\r\n\r\n");
        EXPECT_EQ(statusOf(client.received()), row.status) << row.origin << " " << row.cookie;
    }
}

TEST_F(TabletServerTest, ANinthDeviceIsToldTheServerIsFull) {
    std::vector<std::unique_ptr<Client>> pages;
    pages.reserve(8);
    for (int i = 0; i < 8; ++i) {
        pages.push_back(page());
    }
    EXPECT_EQ(server->devices(), 8U);
    Client ninth(port);
    ninth.send(upgrade("http://" + host, cookie));
    ninth.receiveUntil("\r\n\r\n");
    EXPECT_EQ(statusOf(ninth.received()), "HTTP/1.1 503 Service Unavailable");
    pages.pop_back();
    waitForDevices(7);
    EXPECT_EQ(server->devices(), 7U);
    pages.push_back(page());
    EXPECT_EQ(server->devices(), 8U);
    // Stopped with every page connected: each told the server goes away (1001), answering it.
    std::thread stopping([&] { server->stop(); });
    for (const auto& shown : pages) {
        EXPECT_TRUE(shown->receiveUntil("\x88\x02\x03\xe9", 1s));
        shown->send(std::string("\x88\x80\0\0\0\0", 6));  // a close, masked as a browser's
    }
    stopping.join();
    EXPECT_EQ(server->devices(), 0U);
}

TEST_F(TabletServerTest, APageThatDoesNotReadIsDropped) {
    const auto reader = page();
    Client deaf(port, 4096);
    deaf.send(upgrade("http://" + host, cookie));
    waitForDevices(2);
    ShownPlan big;
    big.cells = {{"txtOriginICAO", std::string(60'000, 'L')}};
    for (int i = 0; i < 400 && server->devices() == 2; ++i) {
        server->showPlan(big);
        reader->receiveAll(5ms);
    }
    waitForDevices(1);
    EXPECT_EQ(server->devices(), 1U);
    flight::WatchedCheck checked;
    checked.check.fuelOnBoard = 99'999;
    server->reading({0, flight::Phase::Airborne, checked, ""});
    EXPECT_TRUE(reader->receiveUntil(R"("fuel_on_board":99999)", 5s));
}

}  // namespace
}  // namespace brimwell::tablet
