#include "tests/support/http_standin.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace brimwell::test {

namespace {

constexpr std::size_t kLargestRequest = std::size_t{1} << 20U;  // a larger one ends its connection
constexpr std::size_t kBlock = 0x10000;                         // a flood is sent a block at a time
constexpr std::uint64_t kFloodBytes = 100ULL * 1024 * 1024;
constexpr std::uint64_t kBombMembers = 2048;

bool sendAll(int socket, std::string_view bytes) {
    for (ssize_t sent = 0; !bytes.empty(); bytes.remove_prefix(static_cast<std::size_t>(sent))) {
        if ((sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL)) <= 0) {
            return false;
        }
    }
    return true;
}

// Waits the time given (-1: for ever); false as soon as the client hangs up or the stand-in
// ends, whose destructor shuts every connection down.
bool clientWaits(int socket, int milliseconds) {
    pollfd watch{socket, POLLRDHUP, 0};
    return ::poll(&watch, 1, milliseconds) == 0;
}

// unit over and over, size bytes in all (chunked: whole chunks of kBlock), as fast as taken.
bool flood(int socket, std::string_view unit, std::uint64_t size, bool chunked) {
    std::string block;
    while (block.size() < kBlock) {
        block += unit;
    }
    if (chunked) {
        block = "10000\r\n" + block.substr(0, kBlock) + "\r\n";
    }
    for (std::uint64_t sent = 0; sent < size; sent += chunked ? kBlock : block.size()) {
        if (!sendAll(socket,
                     std::string_view(block).substr(
                         0, chunked ? block.size() : std::min(block.size(), size - sent)))) {
            return false;
        }
    }
    return !chunked || sendAll(socket, "0\r\n\r\n");
}

// A gzip member of 1 MiB of zeros, about 1 kB: kBombMembers of them are 2 GiB once decoded.
const std::string& gzipMember() {
    static const std::string member = [] {
        std::vector<Bytef> zeros(std::size_t{1} << 20U);
        std::vector<Bytef> packed(zeros.size() / 256);
        z_stream stream{};
        deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
        stream.next_in = zeros.data();
        stream.avail_in = static_cast<uInt>(zeros.size());
        stream.next_out = packed.data();
        stream.avail_out = static_cast<uInt>(packed.size());
        deflate(&stream, Z_FINISH);
        deflateEnd(&stream);
        return std::string(packed.begin(), packed.begin() + static_cast<long>(stream.total_out));
    }();
    return member;
}

// The request line and headers; false if they are not HTTP/1.x's.
bool parseHead(const std::string& head, ReceivedRequest& request) {
    std::istringstream lines(head);
    std::string version;
    lines >> request.method >> request.target >> version;
    lines.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) {
            return false;
        }
        std::string name = line.substr(0, colon);
        for (char& c : name) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        const auto value = line.find_first_not_of(" \t\r", colon + 1);
        request.headers[name] =
            line.substr(std::min(value, line.size()), line.find_last_not_of(" \t\r") + 1 - value);
    }
    return version.starts_with("HTTP/1.");
}

std::string statusLine(int status) {
    static const std::map<int, std::string> kReasons = {
        {200, "OK"},        {400, "Bad Request"},           {403, "Forbidden"},
        {404, "Not Found"}, {500, "Internal Server Error"}, {503, "Service Unavailable"}};
    const auto reason = kReasons.find(status);
    return "HTTP/1.1 " + std::to_string(status) + " " +
           (reason == kReasons.end() ? "Unknown" : reason->second) + "\r\n";
}

}  // namespace

HttpStandIn::HttpStandIn(Handler handler)
    : m_handler(std::move(handler)), m_listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the sockets API's own types
    auto* const any = reinterpret_cast<sockaddr*>(&address);
    if (m_listener < 0 || ::bind(m_listener, any, size) != 0 ||
        ::listen(m_listener, SOMAXCONN) != 0 || ::getsockname(m_listener, any, &size) != 0) {
        ::close(m_listener);
        throw std::runtime_error("the stand-in found no free port on 127.0.0.1");
    }
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] {
        for (;;) {
            const int socket = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            const std::lock_guard lock(m_mutex);
            if (m_stopping || socket < 0) {
                ::close(socket);
                if (m_stopping) {
                    return;
                }
                continue;
            }
            const int on = 1;  // a drip's every byte goes out as it is sent
            ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            m_sockets.push_back(socket);
            m_threads.emplace_back([this, socket] {
                serve(socket);
                const std::lock_guard ended(m_mutex);
                ::close(socket);
                std::erase(m_sockets, socket);
            });
        }
    });
}

HttpStandIn::~HttpStandIn() {
    {
        // Wakes whatever waits on a socket: accept, a read, a send, a drip, a silence.
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        ::shutdown(m_listener, SHUT_RDWR);
        for (const int socket : m_sockets) {
            ::shutdown(socket, SHUT_RDWR);
        }
    }
    m_acceptor.join();
    for (auto& thread : m_threads) {
        thread.join();
    }
    ::close(m_listener);
}

std::string HttpStandIn::url() const {
    return "http://127.0.0.1:" + std::to_string(m_port);
}

std::vector<ReceivedRequest> HttpStandIn::requests() const {
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

void HttpStandIn::serve(int socket) {
    std::string buffer;
    std::array<char, 0x4000> bytes{};
    const auto receive = [&] {  // false once the client is gone or the request too large
        const auto got = ::recv(socket, bytes.data(), bytes.size(), 0);
        buffer.append(bytes.data(), static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        return got > 0 && buffer.size() <= kLargestRequest;
    };
    for (;;) {
        std::size_t headEnd = 0;
        while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
            if (!receive()) {
                return;
            }
        }
        ReceivedRequest request;
        bool understood = parseHead(buffer.substr(0, headEnd), request);
        buffer.erase(0, headEnd + 4);
        std::size_t index = 0;
        {
            const std::lock_guard lock(m_mutex);
            index = m_requests.size();
            m_requests.push_back(request);
        }
        // A body by its Content-Length; a chunked one is refused, as servers may.
        const auto length = request.headers.find("content-length");
        const std::string_view digits =
            length == request.headers.end() ? std::string_view("0") : length->second;
        std::size_t size = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), size);
        understood = understood && error == std::errc() && end == digits.data() + digits.size() &&
                     !request.headers.contains("transfer-encoding");
        while (understood && buffer.size() < size) {
            if (!receive()) {
                return;
            }
        }
        request.body = buffer.substr(0, understood ? size : 0);
        buffer.erase(0, request.body.size());
        const HttpReply reply =
            understood ? m_handler(request)
                       : HttpReply{.status = 400, .body = "Not a request this server takes"};
        {
            const std::lock_guard lock(m_mutex);
            m_requests[index].body = request.body;
            m_requests[index].status =
                reply.misbehaviour == Misbehaviour::Silent ? 0 : reply.status;
        }
        if (!answer(socket, reply) || !understood) {
            return;
        }
    }
}

bool HttpStandIn::answer(int socket, const HttpReply& reply) const {
    using enum Misbehaviour;
    const Misbehaviour how = reply.misbehaviour;
    const bool chunked = how == DripChunkedBody || how == FloodChunked;
    const std::uint64_t length = how == Flood      ? kFloodBytes
                                 : how == GzipBomb ? gzipMember().size() * kBombMembers
                                                   : reply.body.size();
    const std::string status = statusLine(reply.status);
    const std::string head = "Content-Type: " + reply.contentType + "\r\n" +
                             (chunked ? "Transfer-Encoding: chunked\r\n"
                              : how == DripClosingBody || how == FloodClosing
                                  ? "Connection: close\r\n"
                                  : "Content-Length: " + std::to_string(length) + "\r\n") +
                             (how == GzipBomb ? "Content-Encoding: gzip\r\n\r\n" : "\r\n");
    switch (how) {
        case None:
            return sendAll(socket, status + head + reply.body);
        case Silent:
            clientWaits(socket, -1);
            break;
        case DripStatusLine:
            drip(socket, status + head + reply.body, false);
            break;
        case DripHeaders:
            static_cast<void>(sendAll(socket, status) && drip(socket, head + reply.body, false));
            break;
        case DripChunkedBody:
        case DripClosingBody:
            static_cast<void>(sendAll(socket, status + head) && drip(socket, reply.body, chunked));
            break;
        case EndlessHeaders:
            static_cast<void>(sendAll(socket, status) &&
                              flood(socket, "X-Padding: 0123456789abcdef0123456789abcdef\r\n",
                                    std::numeric_limits<std::uint64_t>::max(), false));
            break;
        case Flood:
        case FloodChunked:
        case FloodClosing:
            static_cast<void>(
                sendAll(socket, status + head) &&
                flood(socket, reply.body.empty() ? " " : reply.body, kFloodBytes, chunked));
            break;
        case GzipBomb:
            static_cast<void>(sendAll(socket, status + head) &&
                              flood(socket, gzipMember(), length, false));
            break;
        case CloseMidAnswer:
            sendAll(socket, status + head + reply.body.substr(0, reply.body.size() / 2));
            break;
    }
    return false;
}

bool HttpStandIn::drip(int socket, std::string_view bytes, bool chunked) const {
    const auto interval = static_cast<int>(kDripInterval.count());
    for (const char byte : bytes) {
        if (!clientWaits(socket, interval) ||
            !sendAll(socket,
                     chunked ? "1\r\n" + std::string(1, byte) + "\r\n" : std::string(1, byte))) {
            return false;
        }
    }
    return !chunked || sendAll(socket, "0\r\n\r\n");
}

}  // namespace brimwell::test
