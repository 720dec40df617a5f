#pragma once

// The print spooler link's face (CUPS): the default printer found, and one page handed to it. The
// window calls it from a thread of its own for each step (ui/window_printer.h), since the spooler
// may take its time; the exchange itself, with CUPS and the TLS, Kerberos and DNS-SD libraries
// behind it, lives in the module brimwell-print.so, loaded when Print is first pressed.
//
// A page goes in two steps: find the default printer and its paper, then (after the window has
// drawn the page on that paper) hand it over. The job is created held, the page sent, and only
// then released; a step that ends after the window stopped waiting takes back whatever the
// spooler accepted, so that the pilot's "not printed" stays true. Stopping the control
// BRIMWELL_ABANDONED says that the window no longer waits; BRIMWELL_QUITTING that the program
// ends, and every wait ends within a quarter of a second.

#include <string>
#include <string_view>

#include "links/link_call.h"

namespace brimwell::links {

// How far a page has come, as the control's stage tells it. Only a page whose release was sent
// but not answered may print against the pilot's word.
enum class PrintStage { Finding = 0, Creating, Sending, Releasing, Done };

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

struct DefaultPrinter {
    std::string queue;
    Paper paper;
};

// The spooler's default printer and its default paper, or why there is none (in words for the
// pilot, to follow "The report was not printed: ").
Outcome<DefaultPrinter> findDefaultPrinter(LinkControl& control);

// Hands the PDF page to the queue as one held job and releases it: done once the spooler has
// taken the release, else refused with the reason the page was not printed.
Outcome<Done> sendPage(const std::string& queue, std::string_view pdf, LinkControl& control);

PrintStage printStage(const LinkControl& control);

}  // namespace brimwell::links
