#include "tests/support/http_stand_in.h"

#include <httplib.h>

#include <stdexcept>
#include <utility>

namespace brimwell::test {

HttpStandIn::HttpStandIn(std::function<HttpAnswer(const HttpRequest&)> answerFor)
    : m_answerFor(std::move(answerFor)), m_server(std::make_unique<httplib::Server>()) {
    const auto serve = [this](const httplib::Request& request, httplib::Response& response) {
        HttpRequest received{request.method, request.target, request.body};
        const HttpAnswer answer = m_answerFor(received);
        std::unique_lock lock(m_mutex);
        m_requests.push_back(std::move(received));
        if (answer.never) {
            m_stopping.wait(lock, [this] { return m_stopped; });
            return;
        }
        response.status = answer.status;
        response.set_content(answer.body, answer.contentType);
    };
    m_server->Get(".*", serve).Post(".*", serve).Put(".*", serve).Patch(".*", serve);
    // Listening from here on: a request sent at once waits for the listener.
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0) {
        throw std::runtime_error("the stand-in cannot listen on 127.0.0.1");
    }
    m_listener = std::thread([this] {
        m_server->listen_after_bind();
        m_listened = true;
    });
}

HttpStandIn::~HttpStandIn() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_stopping.notify_all();
    while (!m_server->is_running() && !m_listened) {
        std::this_thread::yield();  // a server stopped before it runs would run on
    }
    m_server->stop();
    m_listener.join();
}

std::string HttpStandIn::address() const {
    return "http://127.0.0.1:" + std::to_string(m_port);
}

std::vector<HttpRequest> HttpStandIn::requests() const {
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

}  // namespace brimwell::test
