#include "tests/support/raw_web_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>

namespace brimwell::test {

RawWebClient::RawWebClient(std::uint16_t port, int receiveBuffer)
    : m_fd(socket(AF_INET, SOCK_STREAM, 0)) {
    if (receiveBuffer > 0) {
        setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    m_connected = connect(m_fd, static_cast<const sockaddr*>(static_cast<const void*>(&address)),
                          sizeof address) == 0;
}

RawWebClient::~RawWebClient() {
    close(m_fd);
}

bool RawWebClient::send(const std::string& bytes) const {
    return m_connected && ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                              static_cast<ssize_t>(bytes.size());
}

std::string RawWebClient::receiveAll(std::chrono::milliseconds bound) {
    const auto end = Clock::now() + bound;
    while (Clock::now() < end && more(end)) {
    }
    return m_received;
}

bool RawWebClient::receiveUntil(const std::string& text, std::chrono::milliseconds bound) {
    const auto end = Clock::now() + bound;
    while (m_received.find(text) == std::string::npos) {
        if (Clock::now() >= end || !more(end)) {
            return false;
        }
    }
    return true;
}

bool RawWebClient::closedWithin(std::chrono::milliseconds bound) {
    receiveAll(bound);
    return m_closed;
}

bool RawWebClient::more(Clock::time_point end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    pollfd ready{m_fd, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(std::max<long>(left.count(), 0))) <= 0) {
        return false;
    }
    std::array<char, 65536> buffer{};
    const auto n = recv(m_fd, buffer.data(), buffer.size(), 0);
    if (n <= 0) {
        m_closed = true;
        return false;
    }
    m_received.append(buffer.data(), static_cast<std::size_t>(n));
    return true;
}

std::string statusOf(const std::string& answer) {
    return answer.substr(0, answer.find("\r\n"));
}

std::string pairingCookie(std::uint16_t port, const std::string& key) {
    return "brimwell_pairing_" + std::to_string(port) + "=" + key;
}

std::string upgradeRequest(const std::string& host, const std::string& origin,
                           const std::string& cookie) {
    return "GET /live HTTP/1.1\r\nHost: " + host +
           "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
           "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n" +
           (origin.empty() ? "" : "Origin: " + origin + "\r\n") +
           (cookie.empty() ? "" : "Cookie: " + cookie + "\r\n") + "\r\n";
}

}  // namespace brimwell::test
