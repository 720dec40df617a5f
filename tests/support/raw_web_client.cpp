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
    m_connected = connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
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
    const auto end = Clock::now() + bound;
    while (Clock::now() < end) {
        if (!more(end)) {
            return m_closed;
        }
    }
    return false;
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
    answerPings();
    return true;
}

// As a browser does: every ping of the server's answered with a pong, masked.
void RawWebClient::answerPings() {
    if (m_frames == 0) {
        const auto end = m_received.find("\r\n\r\n");
        if (end == std::string::npos || m_received.rfind("HTTP/1.1 101", 0) != 0) {
            return;
        }
        m_frames = end + 4;
    }
    for (;;) {
        if (m_received.size() < m_frames + 2) {
            return;
        }
        const auto byte = [&](std::size_t at) {
            return static_cast<unsigned char>(m_received[m_frames + at]);
        };
        std::size_t length = byte(1) & 0x7FU;
        std::size_t header = 2;
        if (length >= 126) {
            header = length == 126 ? 4 : 10;
            if (m_received.size() < m_frames + header) {
                return;
            }
            length = 0;
            for (std::size_t i = 2; i < header; ++i) {
                length = (length << 8U) | byte(i);
            }
        }
        if (m_received.size() < m_frames + header + length) {
            return;
        }
        if ((byte(0) & 0x0FU) == 0x9 && length == 0) {
            send(std::string("\x8A\x80\x01\x02\x03\x04", 6));
        }
        m_frames += header + length;
    }
}

std::string statusOf(const std::string& answer) {
    return answer.substr(0, answer.find("\r\n"));
}

std::string upgradeRequest(const std::string& host, const std::string& origin,
                           const std::string& cookie) {
    return "GET /live HTTP/1.1\r\nHost: " + host +
           "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
           "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n" +
           (origin.empty() ? "" : "Origin: " + origin + "\r\n") +
           (cookie.empty() ? "" : "Cookie: brimwell_pairing=" + cookie + "\r\n") + "\r\n";
}

}  // namespace brimwell::test
