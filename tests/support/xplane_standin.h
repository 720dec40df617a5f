#pragma once

// X-Plane 12's web API (v1) on 127.0.0.1, as strict as X-Plane: every request must carry "Accept:
// application/json" and "Content-Type: application/json" (else 400); datarefs are found by name
// with GET /api/v1/datarefs?filter[name]=… (repeatable; a name X-Plane does not have is 404
// invalid_dataref_name), under ids new for every stand-in as for every run of X-Plane; GET and
// PATCH /api/v1/datarefs/{id}/value read and write {"data": …}; an unknown id is 404
// invalid_dataref_id, a read-only dataref 403, and an array is written whole or refused with 400.
// Errors answer {"error_code": "<a word>", "error_message": "<text>"}. It holds the fuel, payload,
// payload station, distance and tank datarefs, as floats. Where the aircraft has payload stations
// (a maximum above 0), m_fixed is the sum of m_stations, as X-Plane keeps it: a write to m_fixed
// is taken and undone at once.

#include <functional>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/support/http_standin.h"

namespace brimwell::test {

// What the sample plan (plan.h) loads into the stand-in's 747-400 of 174000 kg: its total fuel load
// of 229752 lbs by the loading order, in kg by X-Plane's tank slot, and its payload in kg.
inline const std::vector<double> kSampleTanksKg = {0,       13572,   38280, 38280, 13572,
                                                   254.877, 254.877, 0,     0};
inline constexpr double kSamplePayloadKg = 45359.237;
// And its payload over the stations of boeing747WithStations(), each its share by its maximum.
inline const std::vector<double> kSampleStationsKg = {
    2267.96185, 4535.9237, 6803.88555, 6803.88555, 4535.9237, 11339.80925, 9071.8474, 0, 0};
class XPlaneStandIn final {
  public:
    enum class Mode {
        Serving,
        IncomingTrafficDisabled,  // 403 to everything, as X-Plane's network setting makes it
        NoWebApi,                 // another web server: 404 and a page, to everything
        Stalled,                  // silent from the start (setSilent)
    };
    struct Aircraft {
        std::vector<float> tankShares{};  // acf_tank_rat
        double fuelCapacityKg = 0;        // acf_m_fuel_tot
        // What the aircraft's own fuel system does to the tanks (kg) right after a write.
        std::function<void(std::vector<float>&)> fuelSystem{};
        bool listsWritable = true;     // whether the dataref list tells is_writable
        std::string missingDataref{};  // the name of a dataref this X-Plane does not have
        // acf_m_station_max, kg by payload station: all 0 where the aircraft has none.
        std::vector<float> stationMaxima = std::vector<float>(9, 0.0F);
    };
    static Aircraft boeing747(double fuelCapacityKg = 174000);  // no payload station
    // With seven payload stations, as the 747-400 freely available for X-Plane 12 has, of
    // stationsKg in all (the stand-in's own maxima).
    static Aircraft boeing747WithStations(float stationsKg = 80000);
    static Aircraft twinJet();  // a centre tank and two wing tanks

    // Which of X-Plane's answers a hostile row replaces; Any: every answer.
    enum class Request {
        Any,
        DatarefList,       // GET /api/v1/datarefs
        Shares,            // GET acf_tank_rat
        Capacity,          // GET acf_m_fuel_tot
        FuelWrite,         // PATCH m_fuel
        PayloadWrite,      // PATCH m_fixed
        FuelReadBack,      // GET m_fuel
        PayloadReadBack,   // GET m_fixed
        StationMaxima,     // GET acf_m_station_max
        StationsWrite,     // PATCH m_stations
        StationsReadBack,  // GET m_stations
        FuelTotal,         // GET m_fuel_total
        Distance,          // GET dist
        Latitude,          // GET latitude, the first value of a reading of the watch
        FlightState,       // GET any other dataref of the watch's reading
    };
    // The reply given instead of X-Plane's own, to every request of its kind: a lie (any status
    // and body) or a misbehaviour. The first row that fits a request answers it.
    struct Hostility {
        Request request = Request::Any;
        HttpReply reply{};
    };

    // One moment of a scripted flight: what X-Plane holds while it lasts.
    struct FlightMoment {
        double latitude = 0;
        double longitude = 0;
        double fuelOnBoardKg = 0;        // m_fuel_total
        double fuelFlowKgPerSecond = 0;  // each of the four engines'
        double groundSpeedKnots = 0;
        bool onGround = true;
        bool paused = false;
        bool inReplay = false;
        double distanceTravelledMetres = 0;
        bool silent = false;  // the reading is never answered: the client's bound ends it
    };

    explicit XPlaneStandIn(const Aircraft& aircraft = boeing747(), Mode mode = Mode::Serving,
                           std::vector<Hostility> hostilities = {});

    std::string url() const { return m_http.url(); }
    std::vector<ReceivedRequest> requests() const { return m_http.requests(); }
    std::map<std::string, nlohmann::json> values() const;  // every dataref's value, by name
    // As X-Plane itself changes a dataref: a number, or an array of its length. The tanks'
    // m_fuel sets m_fuel_total to their sum.
    void setValue(const std::string& name, const nlohmann::json& value);
    // A silent X-Plane reads every request and answers none of them, not even once it speaks
    // again: the connection is held open, unanswered, until the client gives up or the stand-in
    // ends. A request that comes after setSilent(false) is answered.
    void setSilent(bool silent);
    // Flies the moments in order: each reading of the watch (each GET of the latitude's value)
    // moves to the next moment first; after the last it stays there.
    void fly(std::vector<FlightMoment> moments);
    std::size_t momentsFlown() const;

  private:
    struct Dataref {
        std::string name;
        std::uint64_t id = 0;
        std::vector<float> value;      // of fixed length; an array unless of one
        Request read = Request::Any;   // what its GET is, for the hostile rows
        Request write = Request::Any;  // and its PATCH; Any: it is read-only
        nlohmann::json json() const;
    };
    // Under m_mutex, all of them.
    HttpReply answer(const ReceivedRequest& request);
    HttpReply list(const std::string& query);
    HttpReply write(Dataref& dataref, const std::string& body);
    Dataref* named(std::string_view name);  // nullptr if it has none of that name
    void sumTanks();                        // m_fuel_total follows m_fuel
    void sumStations();                     // and m_fixed m_stations, where there are stations
    // Moves the script to its next moment; whether that moment is silent.
    bool nextMoment();

    Mode m_mode;
    std::function<void(std::vector<float>&)> m_fuelSystem;
    bool m_stations;  // whether the aircraft has payload stations
    bool m_listsWritable;
    std::vector<Hostility> m_hostilities;
    mutable std::mutex m_mutex;
    bool m_silent;
    std::vector<Dataref> m_datarefs;
    std::vector<FlightMoment> m_script;
    std::size_t m_flown = 0;
    HttpStandIn m_http;  // last: ended first, while the rest still stands
};

}  // namespace brimwell::test
