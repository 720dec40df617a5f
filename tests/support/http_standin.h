#pragma once

// A stand-in for a web service that Brimwell talks to: an HTTP/1.1 server of its own on plain
// sockets, on 127.0.0.1 and a free port, that writes down every request it receives and answers
// each with what the test's handler says: well, or wrong byte by byte (Misbehaviour). Every
// connection has a thread of its own and is kept alive from request to request; the destructor
// ends every answer under way at once, and with it every connection and thread.

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brimwell::test {

struct ReceivedRequest {
    std::string method;
    std::string target;                          // path and query, as sent
    std::map<std::string, std::string> headers;  // by lower-case name
    std::string body;
    int status = 0;  // the stand-in's answer, once under way; 0 while it has none
};

// How an answer goes wrong. Every drip sends one byte every 500 ms. A
// misbehaving answer ends its connection.
enum class Misbehaviour {
    None,
    Silent,           // reads the request and never answers, until the client or stand-in ends
    DripStatusLine,   // the whole answer (status line, headers, body) one byte at a time
    DripHeaders,      // the status line at once, then the headers and body one byte at a time
    DripChunkedBody,  // status and headers at once (chunked), then a chunk of one byte at a time
    DripClosingBody,  // status and headers at once, no length, the body byte by byte, then closed
    EndlessHeaders,   // the status line, then header lines without end, as fast as they are taken
    Flood,            // 100 MB of the body repeated (spaces if none), with its Content-Length
    FloodChunked,     // the same, chunked, no length
    FloodClosing,     // the same, no length, ended by closing
    GzipBomb,         // Content-Encoding: gzip, not asked for: 2 MB that expand to 2 GiB of zeros
    CloseMidAnswer,   // headers with the body's Content-Length, half the body, then closed
};

struct HttpReply {
    int status = 200;
    std::string body{};
    std::string contentType = "application/json";
    // The body sent, where the misbehaviour sends one, is the reply's own.
    Misbehaviour misbehaviour = Misbehaviour::None;
};

class HttpStandIn final {
  public:
    // Called on the connection's thread, with the request's body read.
    using Handler = std::function<HttpReply(const ReceivedRequest&)>;
    explicit HttpStandIn(Handler handler);  // listening when constructed
    HttpStandIn(const HttpStandIn&) = delete;
    HttpStandIn(HttpStandIn&&) = delete;
    HttpStandIn& operator=(const HttpStandIn&) = delete;
    HttpStandIn& operator=(HttpStandIn&&) = delete;
    ~HttpStandIn();

    std::string url() const;  // "http://127.0.0.1:PORT"
    std::vector<ReceivedRequest> requests() const;

  private:
    void serve(int socket);
    bool answer(int socket, const HttpReply& reply) const;  // whether the connection goes on
    bool drip(int socket, std::string_view bytes, bool chunked) const;

    Handler m_handler;
    int m_listener = -1;
    int m_port = 0;
    static constexpr std::chrono::milliseconds kDripInterval{500};
    mutable std::mutex m_mutex;
    bool m_stopping = false;
    std::vector<ReceivedRequest> m_requests;
    std::vector<int> m_sockets;  // the connections open
    std::vector<std::thread> m_threads;
    std::thread m_acceptor;
};

}  // namespace brimwell::test
