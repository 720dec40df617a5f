#pragma once

// A flight for the X-Plane stand-in to fly (XPlaneStandIn::fly), written as a pilot flies it:
// taxi, then legs to points, holds, excursions, a pause, a replay, silence and the landing, one
// moment a reading. Positions between two points follow the great circle; the fuel falls by what
// each step is given to burn; X-Plane's distance counter counts every metre flown, holds and
// excursions among them.

#include <vector>

#include "tests/support/xplane_standin.h"

namespace brimwell::test {

class FlightScript final {
  public:
    using Moment = XPlaneStandIn::FlightMoment;

    // On the ground at the point, with the fuel on board, engines at flowKgPerSecond each.
    FlightScript(double latitude, double longitude, double fuelKg, double flowKgPerSecond = 1.5);

    // Standing on the ground for as many readings.
    FlightScript& wait(int readings);
    // Airborne to the point in as many readings, evenly, burning burnKg on the way.
    FlightScript& flyTo(double latitude, double longitude, int readings, double burnKg);
    // Round a circle of radiusNm beside the present position, back where it began.
    FlightScript& hold(int readings, double burnKg, double radiusNm = 5);
    // Paused: every figure frozen, X-Plane's pause flag set.
    FlightScript& pause(int readings);
    // In replay: the positions and fuel of the last `readings` moments again, the flag set.
    FlightScript& replay(int readings);
    // The readings go unanswered; the aircraft goes on where it was.
    FlightScript& silence(int readings);
    // On the ground where it is, rolling out from 140 kt to a stop over as many readings.
    FlightScript& land(int readings);

    const std::vector<Moment>& moments() const { return m_moments; }
    const Moment& last() const { return m_moments.back(); }

  private:
    Moment& add(const Moment& moment);

    std::vector<Moment> m_moments;
};

// The distance between two points on the sphere the watch measures on, metres.
double greatCircleMetres(double latitudeA, double longitudeA, double latitudeB, double longitudeB);

}  // namespace brimwell::test
