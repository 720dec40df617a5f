#include "links/link_call.h"

#include <atomic>
#include <exception>
#include <sstream>

#include "links/module_loader.h"

namespace brimwell::links {

namespace {

constexpr const char* kEntry = "brimwell_link";

void append(void* answer, const char* data, std::size_t size) {
    static_cast<std::string*>(answer)->append(data, size);
}

}  // namespace

void LinkControl::stop(int why) {
    std::atomic_ref<int> stop(m_shared->stop);
    int was = stop.load();
    while (was < why && !stop.compare_exchange_weak(was, why)) {
    }
}

int LinkControl::stopReason() const {
    return std::atomic_ref<int>(m_shared->stop).load();
}

void LinkControl::setStage(int stage) {
    std::atomic_ref<int>(m_shared->stage).store(stage);
}

int LinkControl::stage() const {
    return std::atomic_ref<int>(m_shared->stage).load();
}

LinkAnswer callLink(std::string_view moduleFile, std::string_view request, LinkControl& control,
                    std::string_view payload) {
    brimwell_link_entry entry = nullptr;
    try {
        entry = moduleFunction<brimwell_link_entry>(moduleFile, kEntry);
    } catch (const std::exception& failure) {
        return {false, std::string("Brimwell cannot start its link: ") + failure.what() +
                           ". Reinstall Brimwell."};
    }
    LinkAnswer answer;
    const brimwell_link_call call{request.data(),    request.size(), payload.data(), payload.size(),
                                  &control.shared(), &answer.text,   append};
    answer.done = entry(&call) == BRIMWELL_DONE;
    return answer;
}

int answerCall(const brimwell_link_call* call, std::string_view link,
               const LinkWork& work) noexcept {
    try {
        LinkControl control(*call->control);
        const LinkAnswer answer =
            work(std::string_view(call->request, call->request_size),
                 std::string_view(call->payload, call->payload_size), control);
        call->answer(call->answer_to, answer.text.data(), answer.text.size());
        return answer.done ? BRIMWELL_DONE : BRIMWELL_REFUSED;
    } catch (const std::exception& failure) {
        const std::string reason =
            "The " + std::string(link) + " link failed: " + failure.what() + ".";
        call->answer(call->answer_to, reason.data(), reason.size());
    } catch (...) {
        const std::string reason = "The " + std::string(link) + " link failed.";
        call->answer(call->answer_to, reason.data(), reason.size());
    }
    return BRIMWELL_REFUSED;
}

std::string withinSeconds(std::chrono::milliseconds bound) {
    std::ostringstream seconds;
    seconds << static_cast<double>(bound.count()) / 1000.0;
    return "within " + seconds.str() + (bound == std::chrono::seconds(1) ? " second" : " seconds");
}

}  // namespace brimwell::links
