#pragma once

// The window's print spooler link is a module of its own (brimwell-print.so), loaded when Print
// is first pressed: CUPS, with the TLS, Kerberos and DNS-SD libraries behind it, would otherwise
// be loaded every time the window opens, although most times nothing is printed. It holds no Qt:
// the window draws the page itself, and a thread of its own takes each step of the exchange with
// the spooler below, so that the window never waits for the spooler.
//
// One page goes in two steps: find the default printer and its paper, then (after the window
// has drawn the page on that paper) hand it over. The job is created held, the page sent, and
// only then released; a step that ends after the window stopped waiting takes back whatever
// the spooler accepted, so that the pilot's "not printed" stays true.

#include <atomic>
#include <string>

namespace brimwell::print {

// How far a page has come; the window reads it when its wait ends. Only a page whose release
// was sent but not answered may print against the pilot's word.
enum class Stage { Finding, Creating, Sending, Releasing, Done };

// What the window and the thread that talks to the spooler share about one page.
struct Exchange {
    // The window no longer waits: the pilot has been told. The thread stops looking for the
    // printer at once; a job already asked for is cancelled as soon as the spooler answers.
    std::atomic<bool> abandoned{false};
    // The program ends: every wait ends now. A job left held in the spooler never prints.
    std::atomic<bool> closing{false};
    std::atomic<Stage> stage{Stage::Finding};
};

// The paper of a printer and its printable area, in hundredths of a millimetre; all 0 when the
// printer does not say.
struct Paper {
    int width = 0;
    int length = 0;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

}  // namespace brimwell::print

// The module's two entry points; each returns false with the reason, in words for the pilot, in
// error. Both may take as long as the spooler takes to answer, so they are called from a thread
// of their own; each ends within a quarter of a second once the exchange is closing.
//
// Finds the spooler's default printer: its queue name and its default paper.
extern "C" bool brimwell_find_printer(brimwell::print::Exchange& exchange, std::string& queue,
                                      brimwell::print::Paper& paper, std::string& error);
// Hands the PDF page to the queue as one held job and releases it.
extern "C" bool brimwell_send_page(brimwell::print::Exchange& exchange, const std::string& queue,
                                   const std::string& pdf, std::string& error);

namespace brimwell::print {
// The entry points' names and types, as the loader looks them up.
inline constexpr const char* kModuleFile = "brimwell-print.so";
inline constexpr const char* kFindPrinter = "brimwell_find_printer";
inline constexpr const char* kSendPage = "brimwell_send_page";
using FindPrinter = bool (*)(Exchange&, std::string&, Paper&, std::string&);
using SendPage = bool (*)(Exchange&, const std::string&, const std::string&, std::string&);
}  // namespace brimwell::print
