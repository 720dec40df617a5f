#pragma once

// A stand-in for a web service that Brimwell talks to: a cpp-httplib server on 127.0.0.1, on a
// free port and a thread of its own, that writes down every request it receives. A stand-in of a
// particular service (xplane_standin.h) or a test gives the server its routes, then calls start().

#include <httplib.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brimwell::test {

struct ReceivedRequest {
    std::string method;
    std::string target;  // path and query, as sent
    std::string body;  // once answered
    int status = 0;    // the stand-in's answer; 0 while it has none
};

class HttpStandIn final {
  public:
    HttpStandIn() = default;
    HttpStandIn(const HttpStandIn&) = delete;
    HttpStandIn(HttpStandIn&&) = delete;
    HttpStandIn& operator=(const HttpStandIn&) = delete;
    HttpStandIn& operator=(HttpStandIn&&) = delete;
    ~HttpStandIn();  // lets the hung requests go, then stops

    httplib::Server& server() { return m_server; }
    void start();
    std::string url() const;  // "http://127.0.0.1:PORT"
    std::vector<ReceivedRequest> requests() const;
    // For a route standing for a service that has hung: returns when the stand-in stops.
    void hang();

  private:
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_stopping;
    bool m_stopped = false;
    std::vector<ReceivedRequest> m_requests;
    std::map<const httplib::Request*, std::size_t> m_unanswered;  // into m_requests
};

}  // namespace brimwell::test
