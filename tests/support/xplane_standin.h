#pragma once

// X-Plane 12's web API (v1) on 127.0.0.1, as strict as X-Plane: every request must carry "Accept:
// application/json" and "Content-Type: application/json" (else 400); datarefs are found by name
// with GET /api/v1/datarefs?filter[name]=… (repeatable), under ids new for every stand-in as for
// every run of X-Plane; GET and PATCH /api/v1/datarefs/{id}/value read and write {"data": …}; an
// unknown id is 404, a read-only dataref 403, and an array is written whole or refused with 400.
// Errors answer {"error_code": …, "error_message": …}. It holds the fuel and payload datarefs,
// as floats.

#include <condition_variable>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/support/http_standin.h"

namespace brimwell::test {

class XPlaneStandIn final {
  public:
    enum class Mode {
        Serving,
        IncomingTrafficDisabled,  // 403 to everything, as X-Plane's network setting makes it
        NoWebApi,                 // another web server: 404 and a page, to everything
        Stalled,                  // answers only when the stand-in ends
    };
    struct Aircraft {
        std::vector<float> tankShares;  // acf_tank_rat
        double fuelCapacityKg = 0;      // acf_m_fuel_tot
        // What the aircraft's own fuel system does to the tanks (kg) right after a write.
        std::function<void(std::vector<float>&)> fuelSystem;
    };
    static Aircraft boeing747(double fuelCapacityKg = 174000);
    static Aircraft twinJet();  // a centre tank and two wing tanks

    explicit XPlaneStandIn(const Aircraft& aircraft = boeing747(), Mode mode = Mode::Serving);
    XPlaneStandIn(const XPlaneStandIn&) = delete;
    XPlaneStandIn(XPlaneStandIn&&) = delete;
    XPlaneStandIn& operator=(const XPlaneStandIn&) = delete;
    XPlaneStandIn& operator=(XPlaneStandIn&&) = delete;
    ~XPlaneStandIn();

    std::string url() const { return m_http.url(); }
    std::vector<ReceivedRequest> requests() const { return m_http.requests(); }
    std::map<std::string, nlohmann::json> values() const;  // every dataref's value, by name

  private:
    struct Dataref {
        std::string name;
        std::uint64_t id = 0;
        bool writable = false;
        bool array = false;        // else one number
        std::vector<float> value;  // of fixed length
        nlohmann::json json() const;
    };
    void serve(const httplib::Request& request, httplib::Response& response);
    void value(const httplib::Request& request, httplib::Response& response);

    Mode m_mode;
    std::function<void(std::vector<float>&)> m_fuelSystem;
    mutable std::mutex m_mutex;
    std::condition_variable m_ending;
    bool m_ended = false;
    std::vector<Dataref> m_datarefs;
    HttpStandIn m_http;  // last: stopped first, while the rest still stands
};

}  // namespace brimwell::test
