#include "cli/plan_serve.h"

#include <arpa/inet.h>

#include <charconv>
#include <ostream>

#include "base/shown_text.h"
#include "cli/plan_options.h"
#include "engine/cell_names.h"
#include "links/test_setting.h"

namespace brimwell::cli {

ServeAddress serveOption(const std::string& value) {
    const auto colon = value.rfind(':');
    ServeAddress at;
    in_addr parsed{};
    const char* portStart = value.data() + (colon == std::string::npos ? 0 : colon + 1);
    const char* end = value.data() + value.size();
    const auto [stop, failed] = std::from_chars(portStart, end, at.port);
    if (colon == std::string::npos || portStart == end || failed != std::errc() || stop != end ||
        inet_pton(AF_INET, value.substr(0, colon).c_str(), &parsed) != 1) {
        throw OptionError(
            "--serve takes ADDRESS:PORT, an IPv4 address of this computer (0.0.0.0 for all) "
            "and a port from 0 to 65535, not \"" +
            base::shownText(value) + "\"");
    }
    at.address = value.substr(0, colon);
    return at;
}

std::unique_ptr<tablet::TabletServer> startServing(const ServeAddress& at, std::ostream& err) {
    tablet::Bounds bounds;
    bounds.beatEvery = links::testSetting("BRIMWELL_TEST_TABLET_BEAT_MS", bounds.beatEvery);
    auto server = std::make_unique<tablet::TabletServer>(bounds);
    if (const auto refused = server->start(at.address, at.port)) {
        err << "brimwell-plan: " << *refused << '\n';
        return nullptr;
    }
    const auto networks = tablet::networkAddresses();
    const bool everyNetwork = at.address == "0.0.0.0" && !networks.empty();
    err << "brimwell-plan: the flight is shown at "
        << (everyNetwork ? server->url(networks.front()) : server->url()) << '\n'
        << std::flush;
    return server;
}

ServedWatch::ServedWatch(const Serving& serving, flight::FlightWatch& watch, engine::Unit unit)
    : m_server(serving.server.get()), m_watch(watch) {
    if (m_server == nullptr || serving.cells == nullptr) {
        m_server = nullptr;
        return;
    }
    std::vector<std::string> red;
    for (const auto name : engine::cell::kColoured) {
        if (serving.cells->background(name) == engine::kLimitRed) {
            red.emplace_back(name);
        }
    }
    m_server->showPlan(tablet::shownPlan(*serving.cells, unit, red, &watch.plan()));
    watch.addListener(*m_server);
}

ServedWatch::~ServedWatch() {
    if (m_server != nullptr) {
        m_watch.removeListener(*m_server);
    }
}

}  // namespace brimwell::cli
