#include "tests/support/http_standin.h"

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
    // Written down before the answer goes out, so a client that has its answer finds it here.
    m_server.set_post_routing_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
            const std::lock_guard lock(m_mutex);
            m_requests.push_back({request.method, request.target, request.body, response.status});
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

}  // namespace brimwell::test
