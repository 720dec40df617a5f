#pragma once

// The one convention of every link's module. Each outside program Brimwell talks to (SimBrief,
// X-Plane, the print spooler, the PDF writer) is reached through a module of its own, loaded on
// first use (links/module_loader.h), so that neither program loads libcurl, CUPS or Qt Gui at
// every start. Every module has exactly one entry point, brimwell_link, and only C types cross
// between the program and the module; no exception crosses either way. The module and its caller
// are two halves of one link, built from the same sources: the request and the answer are the
// link's own JSON texts (or, for an answer that is a document, its bytes).
//
// A call may take as long as the other program takes to answer, within the link's own bound; it
// is made from a thread that may wait (the planner's, or a worker of the window's). The caller
// may ask it to stop from any other thread through the control, and it then ends within a
// second.

#include <stddef.h>  // NOLINT(modernize-deprecated-headers): a header for C types

extern "C" {

// A C interface: C names, constants that C reads, and a typedef.
// NOLINTBEGIN(readability-identifier-naming, cppcoreguidelines-macro-usage, modernize-use-using)

// What the caller and the module share while a call runs. Each field is read and written only
// with atomic operations (std::atomic_ref), from either side.
struct brimwell_link_control {
    // Set by the caller: BRIMWELL_GO_ON, or why the module should stop.
    int stop;
    // Set by the module where the caller must know how far it came (the print spooler's steps).
    int stage;
};

// The caller no longer waits for the outcome: the module ends its waits and takes back what
// the other program has taken, where it can.
#define BRIMWELL_GO_ON 0
#define BRIMWELL_ABANDONED 1
// The program ends: every wait ends at once, nothing is taken back.
#define BRIMWELL_QUITTING 2

struct brimwell_link_call {
    const char* request;  // what to do, the link's JSON; lent for the call
    size_t request_size;
    const char* payload;  // bytes that go with it (a PDF page), or null; lent for the call
    size_t payload_size;
    struct brimwell_link_control* control;  // never null; outlives the call
    // The module's answer, given in one or more pieces before the call returns.
    void* answer_to;
    void (*answer)(void* answer_to, const char* data, size_t size);
};

// What brimwell_link returns: done, the answer being the link's own (its JSON, or a document the
// other program sent); or refused, nothing having come of the call, the answer being the reason
// in words for the pilot.
#define BRIMWELL_DONE 0
#define BRIMWELL_REFUSED 1

// The entry point of every module.
typedef int (*brimwell_link_entry)(const struct brimwell_link_call* call);

// NOLINTEND(readability-identifier-naming, cppcoreguidelines-macro-usage, modernize-use-using)

}  // extern "C"
