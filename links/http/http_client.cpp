#include "links/http/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <mutex>
#include <optional>
#include <string_view>

#include "base/trimmed.h"
#include "links/link_call.h"

namespace brimwell::links {

namespace {

using Clock = std::chrono::steady_clock;

// How often a transfer looks whether its caller has stopped it, at the longest.
constexpr int kLookMilliseconds = 50;

// The answer as it comes in, and why it was cut off, where it was.
struct Transfer {
    const LinkControl* control = nullptr;
    HttpLimits limits;
    std::string body;
    std::size_t headerBytes = 0;
    std::optional<HttpFailure> refusal;
    std::string refusalDetail;
};

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// Ends the transfer from a callback; curl then reports a write error, and the refusal says why.
std::size_t refuse(Transfer& transfer, HttpFailure failure, std::string detail) {
    transfer.refusal = failure;
    transfer.refusalDetail = std::move(detail);
    return 0;
}

std::size_t onBody(char* data, std::size_t /*one*/, std::size_t size, void* context) {
    auto& transfer = *static_cast<Transfer*>(context);
    if (size > transfer.limits.largestBody - transfer.body.size()) {
        return refuse(
            transfer, HttpFailure::TooLarge,
            "its answer is larger than " + std::to_string(transfer.limits.largestBody) + " bytes");
    }
    transfer.body.append(data, size);
    return size;
}

// Every header line, as it comes; what was never asked for ends the transfer here, before the
// body.
std::size_t onHeader(char* data, std::size_t /*one*/, std::size_t size, void* context) {
    auto& transfer = *static_cast<Transfer*>(context);
    transfer.headerBytes += size;
    if (transfer.headerBytes > transfer.limits.largestHeaders) {
        return refuse(transfer, HttpFailure::TooLarge, "its answer's headers never end");
    }
    const std::string_view line(data, size);
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) {
        return size;
    }
    const std::string name = lowered(base::trimmed(line.substr(0, colon)));
    const std::string value = lowered(base::trimmed(line.substr(colon + 1)));
    if (name == "content-encoding" && !value.empty() && value != "identity") {
        return refuse(transfer, HttpFailure::Encoded, "its answer is encoded (" + value + ")");
    }
    if (name == "transfer-encoding" && value != "chunked" && value != "identity") {
        return refuse(transfer, HttpFailure::Encoded, "its answer is encoded (" + value + ")");
    }
    // A body whose length is told, and fits, is taken into room of its size at once.
    std::size_t length = 0;
    if (name == "content-length" &&
        std::from_chars(value.data(), value.data() + value.size(), length).ec == std::errc() &&
        length <= transfer.limits.largestBody) {
        transfer.body.reserve(length);
    }
    return size;
}

int onProgress(void* context, curl_off_t /*downTotal*/, curl_off_t /*downNow*/,
               curl_off_t /*upTotal*/, curl_off_t /*upNow*/) {
    return static_cast<Transfer*>(context)->control->stopped() ? 1 : 0;
}

HttpFailure failureOf(CURLcode code) {
    switch (code) {
        case CURLE_OPERATION_TIMEDOUT:
            return HttpFailure::TimedOut;
        case CURLE_COULDNT_RESOLVE_HOST:
            return HttpFailure::NameUnknown;
        case CURLE_COULDNT_CONNECT:
            return HttpFailure::NotReached;
        case CURLE_FILESIZE_EXCEEDED:
            return HttpFailure::TooLarge;
        case CURLE_ABORTED_BY_CALLBACK:
            return HttpFailure::Stopped;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
            return HttpFailure::NotTrusted;
        default:
            return HttpFailure::BrokenOff;
    }
}

// The transfer, run in steps short enough that a stop of the caller's ends it within a moment,
// whatever curl is waiting for.
CURLcode perform(CURLM* multi, CURL* curl, const LinkControl& control) {
    if (curl_multi_add_handle(multi, curl) != CURLM_OK) {
        return CURLE_FAILED_INIT;
    }
    CURLcode code = CURLE_ABORTED_BY_CALLBACK;
    int running = 1;
    while (!control.stopped()) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        if (running == 0) {
            int left = 0;
            const CURLMsg* message = curl_multi_info_read(multi, &left);
            // NOLINTNEXTLINE(cppcoreguidelines-pro-type-union-access): curl's message is a union
            code = message != nullptr && message->msg == CURLMSG_DONE ? message->data.result
                                                                      : CURLE_FAILED_INIT;
            break;
        }
        curl_multi_poll(multi, nullptr, 0, kLookMilliseconds, nullptr);
    }
    curl_multi_remove_handle(multi, curl);
    return code;
}

void initialiseCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

HttpError::HttpError(HttpFailure failure, const std::string& detail)
    : std::runtime_error(detail), m_failure(failure) {}

struct HttpClient::Handle {
    CURLM* multi = nullptr;  // keeps the connection from one request to the next
    CURL* curl = nullptr;
    curl_slist* headers = nullptr;
    char error[CURL_ERROR_SIZE]{};  // NOLINT(modernize-avoid-c-arrays): curl's error buffer
    Handle() = default;
    Handle(const Handle&) = delete;
    Handle(Handle&&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&&) = delete;
    ~Handle() {
        curl_easy_cleanup(curl);
        curl_multi_cleanup(multi);
        curl_slist_free_all(headers);
    }
};

HttpClient::HttpClient(const LinkControl& control, HttpOptions options)
    : m_control(control), m_handle(std::make_unique<Handle>()) {
    initialiseCurl();
    m_handle->multi = curl_multi_init();
    CURL* curl = m_handle->curl = curl_easy_init();
    if (m_handle->multi == nullptr || curl == nullptr) {
        throw HttpError(HttpFailure::BrokenOff, "no HTTP client can be made");
    }
    options.headers.emplace_back("Expect:");  // the body goes with the request, unasked
    options.headers.emplace_back("User-Agent: Brimwell/" BRIMWELL_VERSION);
    for (const auto& header : options.headers) {
        curl_slist* more = curl_slist_append(m_handle->headers, header.c_str());
        if (more == nullptr) {
            throw HttpError(HttpFailure::BrokenOff, "no HTTP request can be made");
        }
        m_handle->headers = more;
    }
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, m_handle->headers);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, m_handle->error);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // A name lookup that never ends is left to itself at the deadline, not waited for.
    curl_easy_setopt(curl, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    if (!options.throughProxy) {
        curl_easy_setopt(curl, CURLOPT_PROXY, "");
    }
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
}

HttpClient::~HttpClient() = default;

HttpAnswer HttpClient::get(const std::string& url, const HttpLimits& limits) {
    return exchange(url, nullptr, limits);
}

HttpAnswer HttpClient::patch(const std::string& url, const std::string& body,
                             const HttpLimits& limits) {
    return exchange(url, &body, limits);
}

HttpAnswer HttpClient::exchange(const std::string& url, const std::string* patchBody,
                                const HttpLimits& limits) {
    CURL* curl = m_handle->curl;
    // Rounded up, so that the transfer ends after the deadline, never a little before it.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(limits.deadline - Clock::now());
    if (left.count() <= 0) {
        throw HttpError(HttpFailure::TimedOut, "the deadline has passed");
    }
    if (m_control.stopped()) {
        throw HttpError(HttpFailure::Stopped, "stopped");
    }
    Transfer transfer{&m_control, limits, {}, 0, std::nullopt, {}};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(left.count()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(left.count()));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.largestBody));
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    if (patchBody != nullptr) {
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "PATCH");
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(patchBody->size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, patchBody->data());
    } else {
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, nullptr);
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    }
    m_handle->error[0] = '\0';
    const CURLcode code = perform(m_handle->multi, curl, m_control);
    if (transfer.refusal) {
        throw HttpError(*transfer.refusal, transfer.refusalDetail);
    }
    if (code != CURLE_OK) {
        throw HttpError(failureOf(code), m_handle->error[0] != '\0'
                                             ? std::string(m_handle->error)
                                             : std::string(curl_easy_strerror(code)));
    }
    HttpAnswer answer;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
    answer.body = std::move(transfer.body);
    return answer;
}

}  // namespace brimwell::links
