#pragma once

// The one convention of every link's module. Each outside program Brimwell talks to (SimBrief,
// X-Plane, the print spooler, the PDF writer) is reached through a module of its own, loaded on
// first use (links/module_loader.h), so that neither program loads libcurl, CUPS or Qt Gui at
// every start. The module and its caller are two halves of one link, built from the same sources
// in the same build, so they speak C++ to each other:
//
// - the link's header <link>_module.h declares its interface: an abstract class whose members
//   are const and noexcept, take the link's own structs and a LinkControl&, and return the
//   link's Outcome (links/outcome.h);
// - the module implements it and exports one C function, brimwell_link_module, that gives the
//   interface and the interface version it was built with (BRIMWELL_LINK_MODULE below);
// - the loader refuses a module of another version, so a module left from an older Brimwell is
//   told as such, never called;
// - no exception crosses: each member catches whatever its work throws and returns a refusal
//   (refusedOnThrow, links/link_call.h).
//
// A call may take as long as the other program takes to answer, within the link's own bound; it
// is made from a thread that may wait (the planner's, or a worker of the window's). The caller
// may ask it to stop from any other thread through the control, and it then ends within a
// second.

#include <type_traits>

namespace brimwell::links {

// The version of every link's interface: one more whenever any <link>_module.h changes what it
// declares, or a struct it passes changes.
inline constexpr int kLinkInterfaceVersion = 4;

// What a module's brimwell_link_module returns: its interface, as the caller's static_cast back
// to Interface reads it, with the version written to version.
template <typename Interface>
const void* offeredModule(const std::type_identity_t<Interface>& module, int* version) noexcept {
    *version = kLinkInterfaceVersion;
    return static_cast<const void*>(&module);
}

}  // namespace brimwell::links

// How a module exports its interface:
//   BRIMWELL_LINK_MODULE(int* version) {
//       static const XPlaneOverHttp module;
//       return offeredModule<XPlaneModule>(module, version);
//   }
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage): the exported C name is spelt once, here
#define BRIMWELL_LINK_MODULE \
    extern "C" __attribute__((visibility("default"))) const void* brimwell_link_module

// The control's stop reasons (LinkControl::stop, links/link_call.h).
// NOLINTBEGIN(cppcoreguidelines-macro-usage): the reasons as the callers have always named them
// The work may go on.
#define BRIMWELL_GO_ON 0
// The caller no longer waits for the outcome: the module ends its waits and takes back what
// the other program has taken, where it can.
#define BRIMWELL_ABANDONED 1
// The program ends: every wait ends at once, nothing is taken back.
#define BRIMWELL_QUITTING 2
// NOLINTEND(cppcoreguidelines-macro-usage)
