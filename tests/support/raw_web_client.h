#pragma once

// A web client on a raw socket to 127.0.0.1, for the tests of Brimwell's own server: it sends
// bytes as they are given (a request whole, dripping, or flooding) and takes what comes. It never
// answers a WebSocket's ping, so a server that pings closes it in the end.

#include <chrono>
#include <cstdint>
#include <string>

namespace brimwell::test {

class RawWebClient final {
  public:
    // Connected at once; receiveBuffer, if above 0, is the socket's receive buffer in bytes.
    explicit RawWebClient(std::uint16_t port, int receiveBuffer = 0);
    RawWebClient(const RawWebClient&) = delete;
    RawWebClient& operator=(const RawWebClient&) = delete;
    RawWebClient(RawWebClient&&) = delete;
    RawWebClient& operator=(RawWebClient&&) = delete;
    ~RawWebClient();

    // Whether all the bytes went.
    bool send(const std::string& bytes) const;
    // What came until the server closed or `bound` passed.
    std::string receiveAll(std::chrono::milliseconds bound = std::chrono::seconds(3));
    // Until the text has come (true), the server closed or `bound` passed.
    bool receiveUntil(const std::string& text,
                      std::chrono::milliseconds bound = std::chrono::seconds(3));
    // Whether the server closed the connection within the bound, reading what it sent.
    bool closedWithin(std::chrono::milliseconds bound);
    const std::string& received() const { return m_received; }

  private:
    using Clock = std::chrono::steady_clock;
    bool more(Clock::time_point end);

    int m_fd;
    bool m_connected = false;
    bool m_closed = false;
    std::string m_received;
};

// The status line of an answer: "HTTP/1.1 200 OK".
std::string statusOf(const std::string& answer);
// The pairing cookie of the server at the port, as a Cookie header carries it: name=key.
std::string pairingCookie(std::uint16_t port, const std::string& key);
// The request that opens the page's WebSocket at /live, with the Origin and the Cookie header's
// value where they are not empty.
std::string upgradeRequest(const std::string& host, const std::string& origin,
                           const std::string& cookie);

}  // namespace brimwell::test
