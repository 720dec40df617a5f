#pragma once

// Both halves of a link's call through the convention of links/link_module.h: the caller's
// callModule(), which loads the module on first use and never throws, and the module's
// refusedOnThrow(), which runs a member's work and turns whatever it throws into a refusal.

#include <atomic>
#include <chrono>
#include <exception>
#include <string>
#include <string_view>
#include <type_traits>

#include "links/link_module.h"
#include "links/module_loader.h"
#include "links/outcome.h"

namespace brimwell::links {

// The control of one piece of work with another program, shared with every call it makes. The
// caller keeps it while the work runs and may stop the work from any thread.
class LinkControl final {
  public:
    LinkControl() = default;
    LinkControl(const LinkControl&) = delete;
    LinkControl(LinkControl&&) = delete;
    LinkControl& operator=(const LinkControl&) = delete;
    LinkControl& operator=(LinkControl&&) = delete;
    ~LinkControl() = default;

    // BRIMWELL_ABANDONED or BRIMWELL_QUITTING (links/link_module.h); a later, stronger reason
    // replaces an earlier one.
    void stop(int why = BRIMWELL_QUITTING);
    int stopReason() const;  // BRIMWELL_GO_ON while the work may go on
    bool stopped() const { return stopReason() != BRIMWELL_GO_ON; }
    // Set by the module where the caller must know how far it came (the print spooler's steps).
    void setStage(int stage);
    int stage() const;

  private:
    std::atomic<int> m_stop{BRIMWELL_GO_ON};
    std::atomic<int> m_stage{0};
};

// "Brimwell cannot start its link: <why>. Reinstall Brimwell."
Refused notStarted(const std::exception& failure);

// Calls call(interface) on the interface of the module file; a module that cannot be loaded, or
// was built for another Brimwell, is a refusal that says so. Never throws.
template <typename Interface, typename Call>
std::invoke_result_t<const Call&, const Interface&> callModule(std::string_view moduleFile,
                                                               const Call& call) noexcept {
    const void* module = nullptr;
    try {
        module = moduleInterface(moduleFile);
    } catch (const std::exception& failure) {
        return notStarted(failure);
    }
    return call(*static_cast<const Interface*>(module));
}

// "The <link> link failed: <what>.", or without what.
Refused linkFailed(std::string_view link, const std::exception* failure);

// The whole body of a module's member: what work() returns, or, for whatever it throws, the
// refusal "The <link> link failed: <what>."; nothing leaves.
template <typename Work>
std::invoke_result_t<const Work&> refusedOnThrow(std::string_view link, const Work& work) noexcept {
    try {
        return work();
    } catch (const std::exception& failure) {
        return linkFailed(link, &failure);
    } catch (...) {
        return linkFailed(link, nullptr);
    }
}

// "within 5 seconds", "within 0.5 seconds", "within 1 second": how long another program had.
std::string withinSeconds(std::chrono::milliseconds bound);

}  // namespace brimwell::links
