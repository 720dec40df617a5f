// write_ofp [--json] [section/name=text | section/name]...: a flight plan of the tests
// (flight_plan_file.h) on standard output, the field replaced (=text) or left out.

#include <iostream>
#include <string>

#include "tests/support/flight_plan_file.h"

int main(int argc, char** argv) {
    brimwell::test::OfpChanges changes;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const auto equals = argument.find('=');
        if (argument == "--json") {
            changes.json = true;
        } else if (equals != std::string::npos) {
            changes.fields.emplace_back(argument.substr(0, equals), argument.substr(equals + 1));
        } else {
            changes.fields.emplace_back(argument, std::nullopt);
        }
    }
    std::cout << brimwell::test::ofpText(changes);
}
