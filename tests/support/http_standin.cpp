#include "tests/support/http_standin.h"

#include <chrono>
#include <stdexcept>

namespace brimwell::test {

HttpStandIn::~HttpStandIn() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_stopping.notify_all();
    m_server.stop();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void HttpStandIn::start() {
    // Written down as it comes, so a test sees a request that waits for its answer; its body
    // (read after routing starts) and answer before the answer goes out, so a client that has
    // its answer finds them here.
    m_server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        const std::lock_guard lock(m_mutex);
        m_unanswered[&request] = m_requests.size();
        m_requests.push_back({request.method, request.target, {}, 0});
        return httplib::Server::HandlerResponse::Unhandled;
    });
    m_server.set_post_routing_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
            const std::lock_guard lock(m_mutex);
            if (const auto found = m_unanswered.find(&request); found != m_unanswered.end()) {
                m_requests[found->second].body = request.body;
                m_requests[found->second].status = response.status;
                m_unanswered.erase(found);
            }
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

void HttpStandIn::hang() {
    std::unique_lock lock(m_mutex);
    m_stopping.wait(lock, [this] { return m_stopped; });
}

}  // namespace brimwell::test
