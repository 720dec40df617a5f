#pragma once

// SimBrief's OFP fetcher on 127.0.0.1: GET /api/xml.fetcher.php?username=NAME or ?userid=ID is
// answered with the test's reply; without either, with SimBrief's own error; any other path or
// method, 404 and a page.

#include "tests/support/http_standin.h"

namespace brimwell::test {

class SimbriefStandIn final {
  public:
    explicit SimbriefStandIn(HttpStandIn::Handler fetch);

    std::string url() const { return m_http.url(); }
    std::vector<ReceivedRequest> requests() const { return m_http.requests(); }
    // SimBrief's refusal: 400 and an OFP whose fetch/status is the text given as it is, such as
    // "Error: Unknown UserID".
    static HttpReply error(const std::string& status);

  private:
    HttpStandIn m_http;
};

}  // namespace brimwell::test
