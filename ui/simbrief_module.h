#pragma once

// SimBrief is reached through a module of its own (brimwell-simbrief.so), loaded on the first
// fetch: Qt Network, with the TLS, Kerberos and proxy libraries behind it, would otherwise be
// loaded every time the window opens, although most times nothing is fetched.

#include <QObject>
#include <QUrl>
#include <chrono>
#include <functional>
#include <string>

namespace brimwell::ui {

// What a fetch came to: the body SimBrief sent, or why there is none.
struct SimbriefAnswer {
    bool fetched = false;
    std::string text;  // the body when fetched; else the reason, for the pilot
};

using SimbriefDone = std::function<void(const SimbriefAnswer&)>;

}  // namespace brimwell::ui

// The module's one entry point: starts a GET of address and returns at once. The fetch runs on
// the caller's thread, which must run a Qt event loop, as a child of owner. done is called once,
// on that thread, with the answer, or with the reason when the fetch failed or took longer than
// bound in all; afterwards the fetch deletes itself. Deleting the returned object before then
// aborts the fetch, and done is not called.
extern "C" QObject* brimwell_simbrief_fetch(const QUrl& address, std::chrono::milliseconds bound,
                                            QObject& owner, brimwell::ui::SimbriefDone done);
// The entry point's name, as the loader looks it up.
inline constexpr const char* kSimbriefModuleEntry = "brimwell_simbrief_fetch";
inline constexpr const char* kSimbriefModuleFile = "brimwell-simbrief.so";
using SimbriefModuleEntry = QObject* (*)(const QUrl&, std::chrono::milliseconds, QObject&,
                                         brimwell::ui::SimbriefDone);
