#pragma once

// A stand-in for a web service that Brimwell talks to: a cpp-httplib server on 127.0.0.1, on a
// port of its own and a thread of its own, that writes down every request it answers. A stand-in
// of a particular service (xplane_standin.h) gives it its routes before start().

#include <httplib.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brimwell::test {

struct ReceivedRequest {
    std::string method;
    std::string target;  // path and query, as sent
    httplib::Headers headers;
    std::string body;
    int status = 0;  // the status the stand-in answered with
};

class HttpStandIn final {
  public:
    HttpStandIn() = default;
    HttpStandIn(const HttpStandIn&) = delete;
    HttpStandIn(HttpStandIn&&) = delete;
    HttpStandIn& operator=(const HttpStandIn&) = delete;
    HttpStandIn& operator=(HttpStandIn&&) = delete;
    ~HttpStandIn();

    // The server, for routes and handlers before start().
    httplib::Server& server() { return m_server; }
    // Listens on a free port of 127.0.0.1 and answers on a thread of its own.
    void start();
    // "http://127.0.0.1:PORT"
    std::string url() const;
    std::vector<ReceivedRequest> requests() const;

  private:
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::vector<ReceivedRequest> m_requests;
};

// A port of 127.0.0.1 that takes connections (the kernel completes them) but never answers.
class SilentPort final {
  public:
    SilentPort();
    SilentPort(const SilentPort&) = delete;
    SilentPort(SilentPort&&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;
    SilentPort& operator=(SilentPort&&) = delete;
    ~SilentPort();
    std::string url() const;

  private:
    int m_socket = -1;
    int m_port = 0;
};

}  // namespace brimwell::test
