#include "tests/support/http_stand_in.h"

#include <httplib.h>

#include <stdexcept>
#include <utility>

namespace brimwell::test {

HttpStandIn::HttpStandIn(std::function<HttpAnswer(const HttpRequest&)> answerFor)
    : m_answer(std::move(answerFor)), m_server(std::make_unique<httplib::Server>()) {
    const auto serve = [this](const httplib::Request& request, httplib::Response& response) {
        HttpRequest received{request.method, request.path, {}, request.body};
        for (const auto& [name, value] : request.params) {
            received.query.emplace(name, value);
        }
        const HttpAnswer answer = m_answer(received);
        std::unique_lock lock(m_mutex);
        m_requests.push_back(std::move(received));
        if (answer.never) {
            m_stopping.wait(lock, [this] { return m_stopped; });
            return;
        }
        response.status = answer.status;
        response.set_content(answer.body, answer.contentType);
    };
    const std::string every = ".*";
    m_server->Get(every, serve);
    m_server->Post(every, serve);
    m_server->Put(every, serve);
    m_server->Patch(every, serve);
    m_server->Delete(every, serve);
    // Bound and listening here, so that a request sent at once waits for the listener.
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0) {
        throw std::runtime_error("the stand-in could not listen on 127.0.0.1");
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
    // A server stopped before it runs would run on.
    while (!m_server->is_running() && !m_listened) {
        std::this_thread::yield();
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
