// tablet_flight OFP [--plain]: the flight that the tablet's browser test and benchmark watch.
// Writes the sample flight plan to OFP, its first fix named in markup (plainly with --plain, for
// the pictures of the page), and flies the sample flight in the X-Plane stand-in: prints the
// stand-in's address, then flies until standard input closes.

#include <fstream>
#include <iostream>
#include <limits>
#include <string>

#include "tests/support/flight_plan_file.h"
#include "tests/support/flight_script.h"
#include "tests/support/xplane_standin.h"

int main(int argc, char** argv) {
    using namespace brimwell::test;
    const bool plain = argc == 3 && std::string(argv[2]) == "--plain";
    if (argc != 2 && !plain) {
        return 2;  // usage: tablet_flight OFP [--plain]
    }
    OfpChanges changes;
    changes.navlog = {{{"ident", plain ? "DIVKO" : "<b id=\"marked\">DIVKO</b>"},
                       {"pos_lat", "47.5"},
                       {"pos_long", "-8.0"},
                       {"distance", "1000"},
                       {"fuel_plan_onboard", "180000"}},
                      {{"ident", "50N020W"},
                       {"pos_lat", "50.0"},
                       {"pos_long", "-20.0"},
                       {"distance", "2000"},
                       {"fuel_plan_onboard", "90000"}},
                      {{"ident", "KJFK"},
                       {"pos_lat", "40.64"},
                       {"pos_long", "-73.78"},
                       {"distance", "1000"},
                       {"fuel_plan_onboard", "40000"}}};
    std::ofstream(argv[1]) << ofpText(changes);
    XPlaneStandIn standIn;
    FlightScript flight = FlightScript(41.8, 12.25, 100000).wait(2).flyTo(47.5, -8.0, 4, 30000);
    if (!plain) {
        flight.flyTo(44.5, -8.0, 5, 2000).flyTo(47.5, -8.0, 5, 2000);
    }
    standIn.fly(
        flight.flyTo(50.0, -20.0, 4, 25000).flyTo(40.64, -73.78, 20, 20000).land(2).moments());
    std::cout << standIn.url() << std::endl;
    std::cin.ignore(std::numeric_limits<std::streamsize>::max());
}
