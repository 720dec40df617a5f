#pragma once

// X-Plane 12's web API (v1, X-Plane 12.1.1 and later) on 127.0.0.1, as strict as X-Plane is with
// what it refuses: every request must carry "Accept: application/json" and "Content-Type:
// application/json" (else 400); datarefs are found by name with GET /api/v1/datarefs and
// filter[name] (repeatable), under ids that are new for every stand-in, as they are for every run
// of X-Plane; GET and PATCH /api/v1/datarefs/{id}/value read and write {"data": …}; an unknown id
// is 404, a read-only dataref 403, and an array is written whole or refused with 400 (a partial
// or overlong array, or a value that is not a number). Errors answer {"error_code": …,
// "error_message": …}. It holds the four datarefs of the fuel and payload, as floats.

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/support/http_standin.h"

namespace brimwell::test {

class XPlaneStandIn final {
  public:
    enum class Mode {
        Serving,
        IncomingTrafficDisabled,  // every request answered 403, as X-Plane's network setting does
        NoWebApi,                 // another web server: 404 and a page, for every request
    };
    struct Aircraft {
        std::vector<double> tankShares;  // acf_tank_rat
        double fuelCapacityKg = 0;       // acf_m_fuel_tot
    };
    // The 747-400, 174000 kg of fuel in all its tanks unless said otherwise.
    static Aircraft boeing747(double fuelCapacityKg = 174000);
    // An airliner with a centre tank and two wing tanks.
    static Aircraft twinJet();

    explicit XPlaneStandIn(const Aircraft& aircraft = boeing747(), Mode mode = Mode::Serving);

    // What the aircraft's own fuel system does to the tanks (kg) right after they were written.
    void setFuelSystem(std::function<void(std::vector<double>&)> afterWrite);

    std::string url() const { return m_http.url(); }
    std::vector<ReceivedRequest> requests() const { return m_http.requests(); }
    // Every dataref's value now, by name.
    std::map<std::string, nlohmann::json> values() const;

  private:
    struct Dataref {
        std::string name;
        std::uint64_t id = 0;
        bool writable = false;
        nlohmann::json value;  // a number, or an array of numbers of fixed length
    };
    void serve(const httplib::Request& request, httplib::Response& response);
    void list(const httplib::Request& request, httplib::Response& response) const;
    void value(const httplib::Request& request, httplib::Response& response);

    HttpStandIn m_http;
    Mode m_mode;
    mutable std::mutex m_mutex;
    std::vector<Dataref> m_datarefs;
    std::function<void(std::vector<double>&)> m_fuelSystem;
};

}  // namespace brimwell::test
