#include "links/link_call.h"

#include <sstream>

namespace brimwell::links {

void LinkControl::stop(int why) {
    int was = m_stop.load();
    while (was < why && !m_stop.compare_exchange_weak(was, why)) {
    }
}

int LinkControl::stopReason() const {
    return m_stop.load();
}

void LinkControl::setStage(int stage) {
    m_stage.store(stage);
}

int LinkControl::stage() const {
    return m_stage.load();
}

Refused notStarted(const std::exception& failure) {
    return {std::string("Brimwell cannot start its link: ") + failure.what() +
            ". Reinstall Brimwell."};
}

Refused linkFailed(std::string_view link, const std::exception* failure) {
    return {"The " + std::string(link) + " link failed" +
            (failure != nullptr ? std::string(": ") + failure->what() : std::string()) + "."};
}

std::string withinSeconds(std::chrono::milliseconds bound) {
    std::ostringstream seconds;
    seconds << static_cast<double>(bound.count()) / 1000.0;
    return "within " + seconds.str() + (bound == std::chrono::seconds(1) ? " second" : " seconds");
}

}  // namespace brimwell::links
