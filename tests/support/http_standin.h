#pragma once

// A stand-in for a web service that Brimwell talks to: a cpp-httplib server on 127.0.0.1, on a
// free port and a thread of its own, that writes down every request it answered. A stand-in of a
// particular service (xplane_standin.h) gives the server its routes, then calls start().

#include <httplib.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brimwell::test {

struct ReceivedRequest {
    std::string method;
    std::string target;  // path and query, as sent
    std::string body;
    int status = 0;  // the stand-in's answer
};

class HttpStandIn final {
  public:
    HttpStandIn() = default;
    HttpStandIn(const HttpStandIn&) = delete;
    HttpStandIn(HttpStandIn&&) = delete;
    HttpStandIn& operator=(const HttpStandIn&) = delete;
    HttpStandIn& operator=(HttpStandIn&&) = delete;
    ~HttpStandIn();

    httplib::Server& server() { return m_server; }
    void start();
    std::string url() const;  // "http://127.0.0.1:PORT"
    std::vector<ReceivedRequest> requests() const;

  private:
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::vector<ReceivedRequest> m_requests;
};

}  // namespace brimwell::test
