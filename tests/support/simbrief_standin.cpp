#include "tests/support/simbrief_standin.h"

namespace brimwell::test {

SimbriefStandIn::SimbriefStandIn(HttpStandIn::Handler fetch)
    : m_http([fetch = std::move(fetch)](const ReceivedRequest& request) {
          const auto query = request.target.find('?');
          if (request.method != "GET" ||
              request.target.substr(0, query) != "/api/xml.fetcher.php") {
              return HttpReply{.status = 404,
                               .body = "<html><body>Not Found</body></html>",
                               .contentType = "text/html"};
          }
          std::string fields = "&";
          if (query != std::string::npos) {
              fields.append(request.target, query + 1);
          }
          return fields.find("&username=") != std::string::npos ||
                         fields.find("&userid=") != std::string::npos
                     ? fetch(request)
                     : error("Error: Unknown UserID");
      }) {}

HttpReply SimbriefStandIn::error(const std::string& status) {
    return {.status = 400,
            .body = "<?xml version=\"1.0\"?>\n<OFP>\n<fetch>\n<userid></userid>\n<status>" +
                    status + "</status>\n</fetch>\n</OFP>",
            .contentType = "application/xml"};
}

}  // namespace brimwell::test
