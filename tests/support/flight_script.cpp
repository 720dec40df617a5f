#include "tests/support/flight_script.h"

#include <array>
#include <cmath>
#include <numbers>

namespace brimwell::test {

namespace {

constexpr double kEarthRadiusMetres = 6'371'000;
constexpr double kMetresPerNm = 1852;
constexpr double kCruiseKnots = 480;
constexpr double kDegrees = 180 / std::numbers::pi;

using Vector = std::array<double, 3>;

Vector unit(double latitude, double longitude) {
    const double phi = latitude / kDegrees;
    const double lambda = longitude / kDegrees;
    return {std::cos(phi) * std::cos(lambda), std::cos(phi) * std::sin(lambda), std::sin(phi)};
}

double angle(const Vector& a, const Vector& b) {
    const Vector cross = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                          a[0] * b[1] - a[1] * b[0]};
    return std::atan2(std::hypot(cross[0], cross[1], cross[2]),
                      a[0] * b[0] + a[1] * b[1] + a[2] * b[2]);
}

// The point a share of the way from a to b along their great circle.
std::array<double, 2> between(const Vector& a, const Vector& b, double share) {
    const double whole = angle(a, b);
    const double sinWhole = std::sin(whole);
    const double wa = sinWhole < 1e-12 ? 1 - share : std::sin((1 - share) * whole) / sinWhole;
    const double wb = sinWhole < 1e-12 ? share : std::sin(share * whole) / sinWhole;
    const Vector p = {wa * a[0] + wb * b[0], wa * a[1] + wb * b[1], wa * a[2] + wb * b[2]};
    return {std::atan2(p[2], std::hypot(p[0], p[1])) * kDegrees, std::atan2(p[1], p[0]) * kDegrees};
}

}  // namespace

double greatCircleMetres(double latitudeA, double longitudeA, double latitudeB, double longitudeB) {
    return angle(unit(latitudeA, longitudeA), unit(latitudeB, longitudeB)) * kEarthRadiusMetres;
}

FlightScript::FlightScript(double latitude, double longitude, double fuelKg,
                           double flowKgPerSecond) {
    m_moments.push_back({.latitude = latitude,
                         .longitude = longitude,
                         .fuelOnBoardKg = fuelKg,
                         .fuelFlowKgPerSecond = flowKgPerSecond});
}

FlightScript::Moment& FlightScript::add(const Moment& moment) {
    m_moments.push_back(moment);
    auto& added = m_moments.back();
    added.paused = false;
    added.inReplay = false;
    added.silent = false;
    return added;
}

FlightScript& FlightScript::wait(int readings) {
    for (int step = 0; step < readings; ++step) {
        add(last()).groundSpeedKnots = 0;
    }
    return *this;
}

FlightScript& FlightScript::flyTo(double latitude, double longitude, int readings, double burnKg) {
    const Moment from = last();
    const Vector a = unit(from.latitude, from.longitude);
    const Vector b = unit(latitude, longitude);
    for (int step = 1; step <= readings; ++step) {
        const double share = static_cast<double>(step) / readings;
        const auto [lat, lon] = between(a, b, share);
        Moment& moment = add(from);
        moment.latitude = lat;
        moment.longitude = lon;
        moment.fuelOnBoardKg = from.fuelOnBoardKg - burnKg * share;
        moment.onGround = false;
        moment.groundSpeedKnots = kCruiseKnots;
        moment.distanceTravelledMetres =
            from.distanceTravelledMetres + angle(a, b) * kEarthRadiusMetres * share;
    }
    return *this;
}

FlightScript& FlightScript::hold(int readings, double burnKg, double radiusNm) {
    const Moment from = last();
    const double radiusDegrees = radiusNm / 60;
    const double circumference = 2 * std::numbers::pi * radiusNm * kMetresPerNm;
    for (int step = 1; step <= readings; ++step) {
        const double share = static_cast<double>(step) / readings;
        const double turn = 2 * std::numbers::pi * share;
        Moment& moment = add(from);
        // A circle whose westernmost point is where the hold began.
        moment.latitude = from.latitude + radiusDegrees * std::sin(turn);
        moment.longitude = from.longitude + radiusDegrees * (1 - std::cos(turn)) /
                                                std::cos(from.latitude / kDegrees);
        moment.fuelOnBoardKg = from.fuelOnBoardKg - burnKg * share;
        moment.onGround = false;
        moment.groundSpeedKnots = kCruiseKnots / 2;
        moment.distanceTravelledMetres = from.distanceTravelledMetres + circumference * share;
    }
    return *this;
}

FlightScript& FlightScript::pause(int readings) {
    for (int step = 0; step < readings; ++step) {
        add(last()).paused = true;
    }
    return *this;
}

FlightScript& FlightScript::replay(int readings) {
    const auto end = m_moments.size();
    const auto start = end - std::min<std::size_t>(readings, end);
    for (auto at = start; at < end; ++at) {
        add(m_moments[at]).inReplay = true;
    }
    add(m_moments[end - 1]);  // live again, where the replay began
    return *this;
}

FlightScript& FlightScript::silence(int readings) {
    for (int step = 0; step < readings; ++step) {
        add(last()).silent = true;
    }
    return *this;
}

FlightScript& FlightScript::land(int readings) {
    for (int step = 1; step <= readings; ++step) {
        Moment& moment = add(last());
        moment.onGround = true;
        moment.groundSpeedKnots = 140.0 * (readings - step) / readings;
    }
    return *this;
}

}  // namespace brimwell::test
