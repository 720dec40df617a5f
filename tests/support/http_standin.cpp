#include "tests/support/http_standin.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace brimwell::test {

HttpStandIn::~HttpStandIn() {
    m_server.stop();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void HttpStandIn::start() {
    m_server.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        const std::lock_guard lock(m_mutex);
        m_requests.push_back(
            {request.method, request.target, request.headers, request.body, response.status});
    });
    // Answers go out at once, not held back for the client's acknowledgement of their headers.
    m_server.set_tcp_nodelay(true);
    m_port = m_server.bind_to_any_port("127.0.0.1");
    if (m_port <= 0) {
        throw std::runtime_error("the stand-in found no free port on 127.0.0.1");
    }
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    // Connections queue from bind on; the wait is for stop() to find the server running.
    while (!m_server.is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::string HttpStandIn::url() const {
    return "http://127.0.0.1:" + std::to_string(m_port);
}

std::vector<ReceivedRequest> HttpStandIn::requests() const {
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

SilentPort::SilentPort() : m_socket(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof(address);
    // NOLINTBEGIN(cppcoreguidelines-pro-type-reinterpret-cast): the socket API takes sockaddr*
    if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(m_socket, 8) != 0 ||
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        throw std::runtime_error("the silent port could not be opened");
    }
    // NOLINTEND(cppcoreguidelines-pro-type-reinterpret-cast)
    m_port = ntohs(address.sin_port);
}

SilentPort::~SilentPort() {
    ::close(m_socket);
}

std::string SilentPort::url() const {
    return "http://127.0.0.1:" + std::to_string(m_port);
}

}  // namespace brimwell::test
