// write_ofp [--json] [section/name=text | section/name]...: a flight plan of the tests
// (flight_plan_file.h) on standard output, the field replaced (=text) or left out.

#include <iostream>
#include <string>

#include "tests/support/flight_plan_file.h"

int main(int argc, char** argv) {
    brimwell::test::OfpSpec spec;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const auto equals = argument.find('=');
        if (argument == "--json") {
            spec.json = true;
        } else if (equals != std::string::npos) {
            spec.fields.emplace_back(argument.substr(0, equals), argument.substr(equals + 1));
        } else {
            spec.fields.emplace_back(argument, std::nullopt);
        }
    }
    std::cout << brimwell::test::ofpText(spec);
}
