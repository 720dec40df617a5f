// The yardstick of the planner's start-up: a program that does nothing but print the 37 lines of
// the sample plan, as brimwell-plan prints them, through the same stream. bench_process checks
// that the two outputs are the same before it times either.

#include <array>
#include <iostream>

int main() {
    static constexpr std::array kLines = {
        "Boeing 747-400 - Fuel Planning Schematic",
        "----------------------------------------",
        "",
        "*************** Flight Data ****************",
        "Origin: LIRF",
        "Destination: KJFK distance: 4000 nm",
        "Alternate: KBOS distance: 200 nm",
        "Prevalent Wind: Head - 50 Knots",
        "Flight Level: FL350",
        "Payload: 100000 lbs",
        "Contingency Time: 30 minutes",
        "Wind Distance Correction: 4412 nm",
        "",
        "********** Fuel Planning Schematic **********",
        "(+) Basic Operation Empty Weight: 394088 lbs",
        "(+) Payload: 100000 lbs",
        "(=) Zero Fuel Weight: 494088 lbs",
        "",
        "(+) Zero Fuel Weight: 494088 lbs",
        "(+) Minimum Landing Fuel: 19000 lbs",
        "(+) Alternate Fuel: 11352 lbs",
        "(+) Contingency Fuel: 9000 lbs",
        "(=) Planned Landing Weight: 533440 lbs",
        "",
        "(+) Planned Landing Weight: 533440 lbs",
        "(+) Flight Plan Fuel: 188400 lbs",
        "(=) Planned Gross Takeoff Weight: 721840 lbs",
        "",
        "(+) Planned Gross Takeoff Weight: 721840 lbs",
        "(+) Taxi Fuel Burn Off: 2000 lbs",
        "(=) Planned Taxi-Out Weight: 723840 lbs",
        "",
        "TOTAL FUEL LOAD: 229752 lbs",
        "Extimated Time to Arrive (ETA): 9:07 hh:mm",
        "Optimal Initial Cruise Altitude: 33000 feet",
        "",
        "*************** Good Flight! (Q.Z.) *************",
    };
    for (const char* line : kLines) {
        std::cout << line << '\n';
    }
    return 0;
}
