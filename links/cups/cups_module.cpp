// The print spooler link's module, brimwell-print.so: the exchange with CUPS, loaded when Print
// is first pressed (links/cups/print_spooler_module.h is its interface, print_spooler.h its face).

#include <cups/cups.h>

#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "base/shown_text.h"
#include "links/cups/print_spooler_module.h"

namespace {

using brimwell::base::shownText;
using brimwell::links::DefaultPrinter;
using brimwell::links::Done;
using brimwell::links::LinkControl;
using brimwell::links::Outcome;
using brimwell::links::Paper;
using brimwell::links::Refused;
using Stage = brimwell::links::PrintStage;
using Exchange = LinkControl;

constexpr const char* kTitle = "Boeing 747-400 - Fuel Planning Schematic";
// How often a wait for the spooler looks whether it should go on.
constexpr double kLookSeconds = 0.1;
constexpr std::chrono::milliseconds kConnectSlice{250};

// Whether to go on waiting for the spooler: not once the program ends, and not for the
// printer once the window no longer waits for it. A job asked for is waited for even then, so
// that it can be cancelled.
bool keepWaiting(const Exchange& exchange) {
    return exchange.stopReason() != BRIMWELL_QUITTING &&
           !(exchange.stopped() && static_cast<Stage>(exchange.stage()) == Stage::Finding);
}

int onTimeout(http_t* /*http*/, void* exchange) {
    return keepWaiting(*static_cast<const Exchange*>(exchange)) ? 1 : 0;
}

struct Closer {
    void operator()(http_t* http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, Closer>;

// A connection of its own to the spooler, whose every wait ends as the exchange says; empty
// when the spooler cannot be reached or the wait ended. A connection attempt that takes its
// whole slice has had no answer yet and is made again.
Connection connect(Exchange& exchange) {
    while (true) {
        const auto started = std::chrono::steady_clock::now();
        http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(),
                                    1, static_cast<int>(kConnectSlice.count()), nullptr);
        if (http != nullptr) {
            httpSetTimeout(http, kLookSeconds, onTimeout, &exchange);
            return Connection(http);
        }
        if (std::chrono::steady_clock::now() - started < kConnectSlice || !keepWaiting(exchange)) {
            return nullptr;
        }
    }
}

struct Destinations {
    Destinations(const Destinations&) = delete;
    Destinations(Destinations&&) = delete;
    Destinations& operator=(const Destinations&) = delete;
    Destinations& operator=(Destinations&&) = delete;
    explicit Destinations(http_t* http) : count(cupsGetDests2(http, &list)) {}
    ~Destinations() { cupsFreeDests(count, list); }
    cups_dest_t* list = nullptr;
    int count = 0;
};

std::string refusal(const std::string& queue) {
    return "the printer " + shownText(queue) +
           " did not take the job: " + shownText(cupsLastErrorString());
}

// Takes the job back; waits for the spooler's answer as long as the exchange lets it.
void cancel(Exchange& exchange, const std::string& queue, int job) {
    const Connection http = connect(exchange);
    if (http != nullptr) {
        cupsCancelJob2(http.get(), queue.c_str(), job, 0);
    }
}

bool release(http_t* http, int job) {
    std::array<char, HTTP_MAX_URI> uri{};
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri.data(), static_cast<int>(uri.size()), "ipp", nullptr,
                     "localhost", ippPort(), "/jobs/%d", job);
    ipp_t* request = ippNewRequest(IPP_OP_RELEASE_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.data());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippDelete(cupsDoRequest(http, request, "/jobs/"));
    return cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
}

// The job is created held, so that no step but the last, the release, can make it print.
bool sendHeldJob(Exchange& exchange, const std::string& queue, std::string_view pdf,
                 std::string& error) {
    const Connection http = connect(exchange);
    if (http == nullptr) {
        error = "the print service is not running";
        return false;
    }
    exchange.setStage(static_cast<int>(Stage::Creating));
    cups_option_t* options = nullptr;
    const int optionCount = cupsAddOption("job-hold-until", "indefinite", 0, &options);
    const int job = cupsCreateJob(http.get(), queue.c_str(), kTitle, optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (job == 0) {
        error = refusal(queue);
        return false;
    }
    exchange.setStage(static_cast<int>(Stage::Sending));
    const bool sent =
        !exchange.stopped() &&
        cupsStartDocument(http.get(), queue.c_str(), job, kTitle, CUPS_FORMAT_PDF, 1) ==
            HTTP_STATUS_CONTINUE &&
        cupsWriteRequestData(http.get(), pdf.data(), pdf.size()) == HTTP_STATUS_CONTINUE &&
        cupsFinishDocument(http.get(), queue.c_str()) == IPP_STATUS_OK;
    if (sent) {
        // The window reads the stage after it has given up; either it sees the release coming
        // or this sees that it gave up.
        exchange.setStage(static_cast<int>(Stage::Releasing));
        if (!exchange.stopped() && release(http.get(), job)) {
            exchange.setStage(static_cast<int>(Stage::Done));
            return true;
        }
    }
    error = refusal(queue);
    cancel(exchange, queue, job);
    return false;
}

bool findPrinter(Exchange& exchange, std::string& queue, Paper& paper, std::string& error) {
    const Connection http = connect(exchange);
    if (http == nullptr) {
        error = "no printer is installed, or the print service is not running";
        return false;
    }
    const Destinations destinations(http.get());
    const cups_dest_t* found = cupsGetDest(nullptr, nullptr, destinations.count, destinations.list);
    if (found == nullptr) {
        if (destinations.count == 0) {
            error = "no printer is installed, or the print service is not running";
            return false;
        }
        error = "no default printer is chosen (installed: ";
        for (int i = 0; i < destinations.count; ++i) {
            error += (i == 0 ? "" : ", ") + shownText(destinations.list[i].name);
        }
        error += ")";
        return false;
    }
    cups_dest_t dest = *found;
    queue = dest.name;
    const char* state = cupsGetOption("printer-state", dest.num_options, dest.options);
    if (state != nullptr && std::string_view(state) == "5") {
        error = "the default printer " + shownText(queue) + " is stopped or in error";
        return false;
    }
    cups_dinfo_t* info = cupsCopyDestInfo(http.get(), &dest);
    cups_size_t size{};
    if (info != nullptr && cupsGetDestMediaDefault(http.get(), &dest, info, 0, &size) != 0) {
        paper = {size.width, size.length, size.left, size.top, size.right, size.bottom};
    }
    cupsFreeDestInfo(info);
    return true;
}

class PrintSpoolerOverCups final : public brimwell::links::PrintSpoolerModule {
  public:
    Outcome<DefaultPrinter> findDefaultPrinter(LinkControl& control) const noexcept override {
        return brimwell::links::refusedOnThrow("printer", [&]() -> Outcome<DefaultPrinter> {
            DefaultPrinter found;
            std::string error;
            if (!findPrinter(control, found.queue, found.paper, error)) {
                return Refused{error};
            }
            return found;
        });
    }

    Outcome<Done> sendPage(const std::string& queue, std::string_view pdf,
                           LinkControl& control) const noexcept override {
        return brimwell::links::refusedOnThrow("printer", [&]() -> Outcome<Done> {
            std::string error;
            if (!sendHeldJob(control, queue, pdf, error)) {
                return Refused{error};
            }
            return Done{};
        });
    }
};

}  // namespace

BRIMWELL_LINK_MODULE(int* version) {
    static const PrintSpoolerOverCups module;
    return brimwell::links::offeredModule<brimwell::links::PrintSpoolerModule>(module, version);
}
