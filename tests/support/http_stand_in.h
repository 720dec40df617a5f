#pragma once

// An HTTP server on 127.0.0.1, at a port of its own, standing in for a service that the program
// talks to. It writes down every request it receives and answers each as the test says; an
// answer may be to hold the request and never answer it, as a service that has hung does.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace brimwell::test {

struct HttpRequest {
    std::string method;
    std::string target;  // path and query, as sent
    std::string body;
};

struct HttpAnswer {
    int status = 200;
    std::string body;
    std::string contentType = "text/plain";
    bool never = false;  // hold the request until the stand-in stops
};

class HttpStandIn final {
  public:
    explicit HttpStandIn(std::function<HttpAnswer(const HttpRequest&)> answerFor);
    ~HttpStandIn();  // lets the held requests go and stops
    HttpStandIn(const HttpStandIn&) = delete;
    HttpStandIn& operator=(const HttpStandIn&) = delete;
    HttpStandIn(HttpStandIn&&) = delete;
    HttpStandIn& operator=(HttpStandIn&&) = delete;

    std::string address() const;  // "http://127.0.0.1:port"
    std::vector<HttpRequest> requests() const;

  private:
    std::function<HttpAnswer(const HttpRequest&)> m_answerFor;
    std::unique_ptr<httplib::Server> m_server;
    int m_port = 0;
    std::thread m_listener;
    std::atomic<bool> m_listened{false};
    mutable std::mutex m_mutex;
    std::condition_variable m_stopping;
    bool m_stopped = false;
    std::vector<HttpRequest> m_requests;
};

}  // namespace brimwell::test
