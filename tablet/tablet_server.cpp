#include "tablet/tablet_server.h"

#include <civetweb.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <span>
#include <string_view>
#include <thread>

#include "engine/cell_names.h"
#include "flight/flight_json.h"
#include "tablet/page_files.h"

namespace brimwell::tablet {

namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kLivePath = "/live";
// The pairing cookie's name, with the port: a browser keeps cookies by host alone, so two
// servers of one computer (the window's and a planner's) would otherwise take each other's.
std::string cookieName(std::uint16_t port) {
    return "brimwell_pairing_" + std::to_string(port);
}
constexpr std::size_t kMostHeaderBytes = 16'384;
// The threads that answer requests beyond the pages' own: the page's files, refusals.
constexpr std::size_t kSpareThreads = 4;
// The readings the plot holds at most; beyond, every other one is let go.
constexpr std::size_t kMostPlotPoints = 2048;
constexpr std::size_t kPlannedLinePoints = 48;
constexpr std::string_view kBeat = R"({"type":"beat"})";
constexpr std::chrono::milliseconds kMostClosingWait{500};

// What every answer carries.
constexpr std::string_view kSafetyHeaders =
    "Content-Security-Policy: default-src 'self'; frame-ancestors 'none'\r\n"
    "X-Content-Type-Options: nosniff\r\n"
    "Referrer-Policy: no-referrer\r\n"
    "X-Frame-Options: DENY\r\n"
    "Cache-Control: no-store\r\n";

constexpr std::string_view kPairPage =
    "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>Brimwell</title>"
    "</head><body><p>This device is not paired with Brimwell. Scan the code in Brimwell "
    "(Aircraft, Show on a Tablet) to see the flight here.</p></body></html>\n";
constexpr std::string_view kPairedPage =
    "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>Brimwell</title>"
    "<meta http-equiv=\"refresh\" content=\"0; url=/\"></head><body><p>Paired with Brimwell. "
    "<a href=\"/\">The flight</a></p></body></html>\n";

std::string lowered(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// 128 bits of the system's random source, in hex.
std::string newKey() {
    std::array<unsigned char, 16> bits{};
    std::size_t got = 0;
    while (got < bits.size()) {
        const auto n = getrandom(bits.data() + got, bits.size() - got, 0);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
        }
    }
    std::string key;
    for (const unsigned char bit : bits) {
        constexpr std::string_view kHex = "0123456789abcdef";
        key += kHex[bit >> 4U];
        key += kHex[bit & 15U];
    }
    return key;
}

// Whether two texts are the same, in a time that does not tell where they differ.
bool sameKey(std::string_view a, std::string_view b) {
    if (a.size() != b.size() || a.empty()) {
        return false;
    }
    unsigned difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        difference |= static_cast<unsigned char>(a[i]) ^ static_cast<unsigned char>(b[i]);
    }
    return difference == 0;
}

std::string header(const mg_connection* conn, const char* name) {
    const char* value = mg_get_header(conn, name);
    return value == nullptr ? std::string() : std::string(value);
}

// Writes the whole answer, its body left out for HEAD; returns the status.
int answer(mg_connection* conn, int status, std::string_view type, std::string_view body,
           std::string_view extraHeaders = {}) {
    const auto* request = mg_get_request_info(conn);
    const bool head = std::string_view(request->request_method) == "HEAD";
    std::string text =
        "HTTP/1.1 " + std::to_string(status) + " " + mg_get_response_code_text(conn, status) +
        "\r\nContent-Type: " + std::string(type) +
        "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" +
        std::string(kSafetyHeaders) + std::string(extraHeaders) + "Connection: close\r\n\r\n";
    if (!head) {
        text += body;
    }
    mg_write(conn, text.data(), text.size());
    return status;
}

int refuse(mg_connection* conn, int status, std::string_view words,
           std::string_view extraHeaders = {}) {
    return answer(conn, status, "text/plain; charset=utf-8", std::string(words) + "\n",
                  extraHeaders);
}

// Opens a connection to the server and closes it at once.
void knock(const std::string& address, std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    inet_pton(AF_INET, address == "0.0.0.0" ? "127.0.0.1" : address.c_str(), &to.sin_addr);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the sockets API's own types
    static_cast<void>(connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to));
    close(fd);
}

}  // namespace

struct TabletServer::State {
    // A page's connection: what waits to be sent to it, and the thread that sends it.
    struct Device {
        mg_connection* conn = nullptr;
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<std::string> outbox;
        std::size_t queued = 0;
        bool ready = false;
        bool ending = false;
        bool dropped = false;
        bool closing = false;  // the server stops: the page is told so, and sent nothing more
        bool told = false;     // and it has been
        std::chrono::milliseconds beatEvery{1'000};
        std::thread sender;

        // Sends what is queued as it comes, and a beat after beatEvery of nothing, so that a page
        // knows its connection stands.
        void send() {
            std::unique_lock lock(mutex);
            for (;;) {
                const bool woken = wake.wait_for(lock, beatEvery, [&] {
                    return ending || dropped || closing || !outbox.empty();
                });
                if (ending || dropped) {
                    return;
                }
                if (closing) {
                    // Going away (1001): a browser answers at once, which ends its connection's
                    // wait on the socket rather than the server's stop waiting it out.
                    constexpr std::array<char, 2> kGoingAway = {0x03, static_cast<char>(0xE9)};
                    lock.unlock();
                    mg_websocket_write(conn, MG_WEBSOCKET_OPCODE_CONNECTION_CLOSE,
                                       kGoingAway.data(), kGoingAway.size());
                    lock.lock();
                    told = true;
                    wake.notify_all();
                    return;
                }
                std::string message(kBeat);
                if (woken) {
                    message = std::move(outbox.front());
                    outbox.pop_front();
                    queued -= message.size();
                }
                lock.unlock();
                const int sent = mg_websocket_write(conn, MG_WEBSOCKET_OPCODE_TEXT, message.data(),
                                                    message.size());
                lock.lock();
                if (sent <= 0) {
                    dropped = true;
                }
            }
        }

        // Queues the message, or drops the page when too much waits for it already.
        void queue(const std::string& message, std::size_t mostQueued) {
            const std::scoped_lock lock(mutex);
            if (dropped || ending) {
                return;
            }
            if (queued + message.size() > mostQueued) {
                dropped = true;
                outbox.clear();
                queued = 0;
            } else {
                outbox.push_back(message);
                queued += message.size();
            }
            wake.notify_all();
        }

        void close() {
            {
                const std::scoped_lock lock(mutex);
                closing = true;
            }
            wake.notify_all();
        }
        // Until the page is told the server goes away, or the time given.
        void waitTold(std::chrono::steady_clock::time_point until) {
            std::unique_lock lock(mutex);
            wake.wait_until(lock, until, [&] { return told || ending || dropped || !ready; });
        }

        void end() {
            {
                const std::scoped_lock lock(mutex);
                ending = true;
            }
            wake.notify_all();
            if (sender.joinable()) {
                sender.join();
            }
        }
    };

    Bounds bounds;
    mg_context* context = nullptr;

    mutable std::mutex mutex;  // guards all that follows
    std::string key;
    std::string address;
    std::uint16_t port = 0;
    std::set<std::string> hosts;  // the names a Host may give, lower case, without the port
    std::map<const mg_connection*, std::shared_ptr<Device>> devices;
    engine::Unit unit = engine::Unit::Pounds;
    Json plan;
    Json reading;
    Json fixes = Json::array();
    Json plot = Json::array();
    Json landed;

    // --- on civetweb's threads
    static int beginRequest(mg_connection* conn);
    static void endRequest(const mg_connection* conn, int status);
    static int logMessage(const mg_connection* /*conn*/, const char* /*message*/) { return 1; }
    static int webSocketConnect(const mg_connection* /*conn*/, void* /*data*/) { return 0; }
    static void webSocketReady(mg_connection* conn, void* data);
    static int webSocketData(mg_connection* conn, int bits, char* data, std::size_t size,
                             void* state);
    static void webSocketClose(const mg_connection* conn, void* data);

    int request(mg_connection* conn);
    bool hostAllowed(const std::string& host) const;
    std::shared_ptr<Device> device(const mg_connection* conn);
    void forget(const mg_connection* conn);
    // All a page shows, for a page that comes or a flight that begins.
    Json snapshot() const;
    // Sends the message to every page; under mutex.
    void tell(const Json& message);
    static std::string text(const Json& message) {
        return message.dump(-1, ' ', false, Json::error_handler_t::replace);
    }
};

int TabletServer::State::beginRequest(mg_connection* conn) {
    auto* state = static_cast<State*>(mg_get_request_info(conn)->user_data);
    return state->request(conn);
}

void TabletServer::State::endRequest(const mg_connection* conn, int /*status*/) {
    auto* state = static_cast<State*>(mg_get_request_info(conn)->user_data);
    state->forget(conn);
}

bool TabletServer::State::hostAllowed(const std::string& host) const {
    const auto colon = host.rfind(':');
    const std::string name = lowered(host.substr(0, colon));
    const std::string portText = colon == std::string::npos ? "80" : host.substr(colon + 1);
    return hosts.contains(name) && portText == std::to_string(port);
}

int TabletServer::State::request(mg_connection* conn) {
    const auto* info = mg_get_request_info(conn);
    const std::string host = header(conn, "Host");
    // A request of two Hosts is refused: whoever reads the other one would see another server.
    const auto given =
        std::span(info->http_headers).first(static_cast<std::size_t>(info->num_headers));
    const auto hostHeaders = std::count_if(given.begin(), given.end(), [](const mg_header& each) {
        return lowered(each.name) == "host";
    });
    {
        const std::scoped_lock lock(mutex);
        if (hostHeaders != 1 || !hostAllowed(host)) {
            return refuse(conn, 421, "This server answers only at its own address.");
        }
    }
    const std::string_view method = info->request_method;
    if (method != "GET" && method != "HEAD") {
        return refuse(conn, 405, "Brimwell's page is read-only.", "Allow: GET, HEAD\r\n");
    }
    const std::string path = info->local_uri_raw == nullptr ? "" : info->local_uri_raw;
    std::string givenKey;
    if (info->query_string != nullptr) {
        std::array<char, 64> value{};
        const int length = mg_get_var(info->query_string, std::strlen(info->query_string), "key",
                                      value.data(), value.size());
        if (length > 0) {
            givenKey.assign(value.data(), static_cast<std::size_t>(length));
        }
    }
    std::string paired;
    std::string cookie;
    {
        const std::scoped_lock lock(mutex);
        paired = key;
        cookie = cookieName(port);
    }
    std::string cookieKey;
    if (const char* cookies = mg_get_header(conn, "Cookie"); cookies != nullptr) {
        std::array<char, 64> value{};
        const int length = mg_get_cookie(cookies, cookie.c_str(), value.data(), value.size());
        if (length > 0) {
            cookieKey.assign(value.data(), static_cast<std::size_t>(length));
        }
    }
    if (sameKey(givenKey, paired)) {
        // The key leaves the address; the browser keeps it as a cookie of this server's only, and
        // goes on to the page itself, never to a path of the request's (one decoded could be
        // another site's address, //elsewhere). It goes on from this page of the server's own
        // rather than by a redirect: a browser that came by a link on another site sends a
        // SameSite=Strict cookie on no request that site began, a redirect's included.
        return answer(
            conn, 200, "text/html; charset=utf-8", kPairedPage,
            "Set-Cookie: " + cookie + "=" + paired + "; Path=/; HttpOnly; SameSite=Strict\r\n");
    }
    if (!sameKey(cookieKey, paired)) {
        return answer(conn, 403, "text/html; charset=utf-8", kPairPage);
    }
    if (path == kLivePath && lowered(header(conn, "Upgrade")) == "websocket") {
        if (lowered(header(conn, "Origin")) != "http://" + lowered(host)) {
            return refuse(conn, 403, "The page's connection comes only from the page.");
        }
        const std::scoped_lock lock(mutex);
        if (devices.size() >= bounds.mostDevices) {
            return refuse(conn, 503,
                          "As many devices as Brimwell shows the flight to are connected.");
        }
        auto shown = std::make_shared<Device>();
        shown->conn = conn;
        shown->beatEvery = bounds.beatEvery;
        devices.emplace(conn, std::move(shown));
        return 0;  // civetweb's handshake, then webSocketReady
    }
    for (const auto& file : pageFiles()) {
        if (path == file.path) {
            return answer(conn, 200, file.type, file.body);
        }
    }
    return refuse(conn, 404, "Brimwell serves no such page.");
}

auto TabletServer::State::device(const mg_connection* conn) -> std::shared_ptr<Device> {
    const std::scoped_lock lock(mutex);
    const auto found = devices.find(conn);
    return found == devices.end() ? nullptr : found->second;
}

void TabletServer::State::forget(const mg_connection* conn) {
    std::shared_ptr<Device> gone;
    {
        const std::scoped_lock lock(mutex);
        const auto found = devices.find(conn);
        if (found == devices.end()) {
            return;
        }
        gone = found->second;
        devices.erase(found);
    }
    gone->end();
}

void TabletServer::State::webSocketReady(mg_connection* conn, void* data) {
    auto* state = static_cast<State*>(data);
    const auto shown = state->device(conn);
    if (shown == nullptr) {
        return;
    }
    const std::scoped_lock lock(state->mutex);
    shown->queue(text(state->snapshot()), state->bounds.mostQueuedBytes);
    {
        const std::scoped_lock deviceLock(shown->mutex);
        shown->ready = true;
    }
    shown->sender = std::thread([shown] { shown->send(); });
}

int TabletServer::State::webSocketData(mg_connection* conn, int bits, char* /*data*/,
                                       std::size_t /*size*/, void* state) {
    // The page sends nothing but its answers to pings; a close, or a page dropped, ends it.
    if ((static_cast<unsigned>(bits) & 0x0FU) == MG_WEBSOCKET_OPCODE_CONNECTION_CLOSE) {
        return 0;
    }
    const auto shown = static_cast<State*>(state)->device(conn);
    if (shown == nullptr) {
        return 0;
    }
    const std::scoped_lock lock(shown->mutex);
    return shown->dropped ? 0 : 1;
}

void TabletServer::State::webSocketClose(const mg_connection* conn, void* data) {
    static_cast<State*>(data)->forget(conn);
}

Json TabletServer::State::snapshot() const {
    Json message;
    message["type"] = "snapshot";
    message["beat_ms"] = bounds.beatEvery.count();
    message["plan"] = plan;
    message["reading"] = reading;
    message["fixes"] = fixes;
    message["plot"] = plot;
    message["landed"] = landed;
    return message;
}

void TabletServer::State::tell(const Json& message) {
    const std::string told = text(message);
    for (const auto& [conn, shown] : devices) {
        bool ready = false;
        {
            const std::scoped_lock lock(shown->mutex);
            ready = shown->ready;
        }
        if (ready) {
            shown->queue(told, bounds.mostQueuedBytes);
        }
    }
}

ShownPlan shownPlan(const engine::CellReader& cells, engine::Unit unit,
                    const std::vector<std::string>& red, const engine::FuelPlanLine* line) {
    ShownPlan plan;
    plan.unit = unit;
    const auto add = [&](std::string_view name) {
        plan.cells.emplace_back(std::string(name), cells.text(name));
    };
    for (const auto name : engine::cell::kInputs) {
        add(name);
    }
    add(engine::cell::txtBOW);
    for (const auto name : engine::cell::kResults) {
        add(name);
    }
    plan.red = red;
    if (line != nullptr) {
        const double distance = line->destinationDistance();
        for (std::size_t i = 0; i <= kPlannedLinePoints; ++i) {
            const double nm = distance * static_cast<double>(i) / kPlannedLinePoints;
            if (const auto onBoard = line->plannedFuelOnBoard(nm)) {
                plan.plannedLine.emplace_back(nm, engine::weightIn(*onBoard, unit));
            }
        }
    }
    return plan;
}

TabletServer::TabletServer(Bounds bounds) : m_state(std::make_unique<State>()) {
    m_state->bounds = bounds;
    mg_init_library(0);
}

TabletServer::~TabletServer() {
    stop();
    mg_exit_library();
}

std::optional<std::string> TabletServer::start(const std::string& address, std::uint16_t port) {
    stop();
    auto& state = *m_state;
    in_addr parsed{};
    if (inet_pton(AF_INET, address.c_str(), &parsed) != 1) {
        return "\"" + address + "\" is not an IPv4 address of this computer.";
    }
    const std::string listening = address + ":" + std::to_string(port);
    const std::string threads = std::to_string(state.bounds.mostDevices + kSpareThreads);
    const std::string timeout = std::to_string(state.bounds.requestTimeout.count());
    const std::string ping = std::to_string(state.bounds.pingAfter.count());
    const std::string headerBytes = std::to_string(kMostHeaderBytes);
    const std::string safety(kSafetyHeaders.substr(0, kSafetyHeaders.size() - 2));
    std::array<const char*, 23> options = {"listening_ports",
                                           listening.c_str(),
                                           "num_threads",
                                           threads.c_str(),
                                           "request_timeout_ms",
                                           timeout.c_str(),
                                           "websocket_timeout_ms",
                                           ping.c_str(),
                                           "enable_websocket_ping_pong",
                                           "yes",
                                           "max_request_size",
                                           headerBytes.c_str(),
                                           "enable_keep_alive",
                                           "no",
                                           "additional_header",
                                           safety.c_str(),
                                           "enable_directory_listing",
                                           "no",
                                           "linger_timeout_ms",
                                           "0",
                                           "tcp_nodelay",
                                           "1",
                                           nullptr};
    mg_callbacks callbacks{};
    callbacks.begin_request = &State::beginRequest;
    callbacks.end_request = &State::endRequest;
    callbacks.log_message = &State::logMessage;
    mg_init_data init{};
    init.callbacks = &callbacks;
    init.user_data = &state;
    init.configuration_options = options.data();
    std::array<char, 256> errorText{};
    unsigned errorCode = 0;
    mg_error_data error{&errorCode, errorText.data(), errorText.size()};
    {
        const std::scoped_lock lock(state.mutex);
        state.key = newKey();
        state.address = address;
    }
    mg_context* context = mg_start2(&init, &error);
    if (context == nullptr) {
        // civetweb's words for it tell no more than this.
        return "Brimwell cannot serve at " + listening +
               ": the address is not one of this computer's, or the port is taken.";
    }
    mg_set_websocket_handler(context, std::string(kLivePath).c_str(), &State::webSocketConnect,
                             &State::webSocketReady, &State::webSocketData, &State::webSocketClose,
                             &state);
    std::array<mg_server_port, 1> ports{};
    mg_get_server_ports(context, static_cast<int>(ports.size()), ports.data());
    const std::scoped_lock lock(state.mutex);
    state.context = context;
    state.port = static_cast<std::uint16_t>(ports[0].port);
    state.hosts = {"localhost", lowered(address)};
    if (address == "0.0.0.0") {
        for (const auto& own : networkAddresses()) {
            state.hosts.insert(own);
        }
    }
    std::array<char, 256> name{};
    if (gethostname(name.data(), name.size() - 1) == 0) {
        state.hosts.insert(lowered(name.data()));
        state.hosts.insert(lowered(name.data()) + ".local");
    }
    return std::nullopt;
}

void TabletServer::stop() {
    mg_context* context = nullptr;
    std::vector<std::shared_ptr<State::Device>> closing;
    {
        const std::scoped_lock lock(m_state->mutex);
        std::swap(context, m_state->context);
        m_state->key.clear();
        for (const auto& [conn, shown] : m_state->devices) {
            shown->close();
            closing.push_back(shown);
        }
    }
    // Each page told before civetweb stops, for it writes nothing then; a page that does not
    // read is waited for no longer than a moment.
    const auto until = std::chrono::steady_clock::now() + kMostClosingWait;
    for (const auto& shown : closing) {
        shown->waitTold(until);
    }
    if (context == nullptr) {
        return;
    }
    // civetweb's listening thread sees the stop only as its wait on the socket ends, which takes
    // up to two seconds unless someone knocks.
    std::atomic<bool> stopped{false};
    std::thread knocker([&] {
        while (!stopped) {
            knock(m_state->address, m_state->port);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    mg_stop(context);  // closes every page, each told through webSocketClose
    stopped = true;
    knocker.join();
}

bool TabletServer::serving() const {
    const std::scoped_lock lock(m_state->mutex);
    return m_state->context != nullptr;
}

std::uint16_t TabletServer::port() const {
    const std::scoped_lock lock(m_state->mutex);
    return m_state->port;
}

std::string TabletServer::url() const {
    std::string address;
    {
        const std::scoped_lock lock(m_state->mutex);
        address = m_state->address;
    }
    return url(address);
}

std::string TabletServer::url(const std::string& address) const {
    const std::scoped_lock lock(m_state->mutex);
    return "http://" + address + ":" + std::to_string(m_state->port) + "/?key=" + m_state->key;
}

std::size_t TabletServer::devices() const {
    const std::scoped_lock lock(m_state->mutex);
    return std::count_if(m_state->devices.begin(), m_state->devices.end(), [](const auto& device) {
        const std::scoped_lock deviceLock(device.second->mutex);
        return !device.second->dropped;
    });
}

void TabletServer::showPlan(ShownPlan plan) {
    Json cells = Json::object();
    for (auto& [name, text] : plan.cells) {
        cells[name] = std::move(text);
    }
    Json line = Json::array();
    for (const auto& [nm, weight] : plan.plannedLine) {
        line.push_back({std::round(nm * 10) / 10, std::llround(weight)});
    }
    const std::scoped_lock lock(m_state->mutex);
    m_state->unit = plan.unit;
    m_state->plan = {{"units", engine::unitName(plan.unit)},
                     {"cells", std::move(cells)},
                     {"red", plan.red},
                     {"planned_line", std::move(line)}};
    m_state->tell({{"type", "plan"}, {"plan", m_state->plan}});
}

void TabletServer::newFlight() {
    const std::scoped_lock lock(m_state->mutex);
    auto& state = *m_state;
    state.reading = Json();
    state.fixes = Json::array();
    state.plot = Json::array();
    state.landed = Json();
    state.tell(state.snapshot());
}

void TabletServer::reading(const flight::WatchedReading& reading) {
    const std::scoped_lock lock(m_state->mutex);
    auto& state = *m_state;
    const Json told = flight::readingJson(reading, state.unit);
    Json message = {{"type", "reading"}, {"reading", told}};
    if (reading.checked) {
        if (state.plot.size() >= kMostPlotPoints) {
            Json kept = Json::array();
            for (std::size_t i = 0; i < state.plot.size(); i += 2) {
                kept.push_back(state.plot[i]);
            }
            state.plot = std::move(kept);
        }
        const Json point = {told["distance_flown_nm"], told["fuel_on_board"]};
        state.plot.push_back(point);
        message["point"] = point;
        state.reading = told;
    } else if (state.reading.is_object()) {
        // A reading not checked (paused, replay, refused) is told; the figures stay the last.
        message["reading"] = told;
    }
    state.tell(message);
}

void TabletServer::fixPassed(const flight::PassedFix& fix) {
    const std::scoped_lock lock(m_state->mutex);
    auto& state = *m_state;
    const Json told = flight::fixJson(fix, state.unit);
    state.fixes.push_back(told);
    state.tell({{"type", "fix"}, {"fix", told}});
}

void TabletServer::landed(const flight::FlightSummary& summary) {
    const std::scoped_lock lock(m_state->mutex);
    auto& state = *m_state;
    state.landed = flight::summaryJson(summary.time, summary, state.unit);
    state.tell({{"type", "landed"}, {"landed", state.landed}});
}

std::vector<std::string> networkAddresses() {
    std::vector<std::string> privateOnes;
    std::vector<std::string> others;
    std::vector<std::string> loopback;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return {"127.0.0.1"};
    }
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        sockaddr_in ipv4{};
        std::memcpy(&ipv4, entry->ifa_addr, sizeof ipv4);
        std::array<char, INET_ADDRSTRLEN> text{};
        inet_ntop(AF_INET, &ipv4.sin_addr, text.data(), text.size());
        const std::uint32_t host = ntohl(ipv4.sin_addr.s_addr);
        const bool isPrivate =
            (host >> 24U) == 10 || (host >> 20U) == 0xAC1 || (host >> 16U) == 0xC0A8;
        const bool isLoopback = (host >> 24U) == 127;
        (isPrivate ? privateOnes : isLoopback ? loopback : others).emplace_back(text.data());
    }
    freeifaddrs(list);
    privateOnes.insert(privateOnes.end(), others.begin(), others.end());
    privateOnes.insert(privateOnes.end(), loopback.begin(), loopback.end());
    return privateOnes;
}

}  // namespace brimwell::tablet
