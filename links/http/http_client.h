#pragma once

// The one HTTP client of Brimwell, over libcurl, for every link that speaks HTTP (SimBrief and
// X-Plane). It lives in those links' modules only, so neither program loads libcurl at start.
//
// Whatever the other side does, an exchange ends by its deadline, and no answer grows past its
// cap. The deadline covers the whole of every request, the name lookup (on a thread of curl's
// own, given up at the deadline), the connection, the request and the answer; an answer that
// drips one byte at a time ends there as well as one that never comes. Nothing is decoded that
// was not asked for (an answer with a Content-Encoding is refused), no redirect is followed,
// and nothing but http and https is spoken. The caller's control stops an exchange within a
// second from any thread.

#include <chrono>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace brimwell::links {

class LinkControl;

// Why an exchange ended without an answer.
enum class HttpFailure {
    NotReached,   // nothing answers at the address (connection refused, no route)
    NameUnknown,  // the host name is not known
    TimedOut,     // the deadline passed
    TooLarge,     // the answer's headers or body went past their cap
    Encoded,      // the answer came encoded (compressed) though no encoding was asked for
    BrokenOff,    // the connection ended before the answer was whole, or it was no HTTP
    NotTrusted,   // the TLS connection failed, or the server's certificate is not trusted
    Stopped,      // the caller stopped the exchange
};

class HttpError final : public std::runtime_error {
  public:
    HttpError(HttpFailure failure, const std::string& detail);
    HttpFailure failure() const { return m_failure; }

  private:
    HttpFailure m_failure;
};

struct HttpAnswer {
    long status = 0;
    std::string body;
};

struct HttpLimits {
    std::chrono::steady_clock::time_point deadline;
    std::size_t largestBody = 0;
    std::size_t largestHeaders = std::size_t{64} * 1024;
};

struct HttpOptions {
    // The system's proxy settings (http_proxy, https_proxy, no_proxy) are followed; else the
    // server is reached directly, as a simulator on the pilot's own network is.
    bool throughProxy = false;
    std::vector<std::string> headers;  // "Name: value", sent with every request
};

// One conversation with one server: its connection is kept from request to request. Used from
// one thread at a time.
class HttpClient final {
  public:
    HttpClient(const LinkControl& control, HttpOptions options);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient(HttpClient&&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;
    HttpClient& operator=(HttpClient&&) = delete;

    // The answer to the request, whatever its status; throws HttpError when there is none.
    HttpAnswer get(const std::string& url, const HttpLimits& limits);
    HttpAnswer patch(const std::string& url, const std::string& body, const HttpLimits& limits);

  private:
    HttpAnswer exchange(const std::string& url, const std::string* patchBody,
                        const HttpLimits& limits);

    struct Handle;
    const LinkControl& m_control;
    std::unique_ptr<Handle> m_handle;
};

}  // namespace brimwell::links
