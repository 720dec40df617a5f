#pragma once

// Both halves of a link's call through the convention of links/link_module.h: the caller's
// callLink(), which loads the module on first use and never throws, and the module's
// answerCall(), which runs the module's work and turns whatever it throws into a refusal.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "links/link_module.h"

namespace brimwell::links {

// The control of one piece of work with another program, shared with every call it makes. The
// caller keeps it while the work runs and may stop the work from any thread.
class LinkControl final {
  public:
    LinkControl() = default;
    // The module's view of its caller's control.
    explicit LinkControl(brimwell_link_control& shared) : m_shared(&shared) {}
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
    void setStage(int stage);
    int stage() const;
    brimwell_link_control& shared() { return *m_shared; }

  private:
    brimwell_link_control m_own{};
    brimwell_link_control* m_shared = &m_own;
};

// What a call came to: done, with the link's answer, or refused, with the reason for the pilot.
struct LinkAnswer {
    bool done = false;
    std::string text;
};

// Calls the entry point of the module file (e.g. "brimwell-xplane.so"). A module that cannot be
// loaded is a refusal that says so; nothing is thrown.
LinkAnswer callLink(std::string_view moduleFile, std::string_view request, LinkControl& control,
                    std::string_view payload = {});

using LinkWork =
    std::function<LinkAnswer(std::string_view request, std::string_view payload, LinkControl&)>;

// The whole body of a module's brimwell_link: runs the work on the call's request and hands its
// answer back. An exception becomes a refusal "The <link> link failed: <what>."; nothing leaves.
int answerCall(const brimwell_link_call* call, std::string_view link,
               const LinkWork& work) noexcept;

// "within 5 seconds", "within 0.5 seconds", "within 1 second": how long another program had.
std::string withinSeconds(std::chrono::milliseconds bound);

}  // namespace brimwell::links

// How a module declares its entry point:
//   BRIMWELL_LINK_ENTRY(const brimwell_link_call* call) { return answerCall(call, ...); }
#define BRIMWELL_LINK_ENTRY extern "C" __attribute__((visibility("default"))) int brimwell_link
