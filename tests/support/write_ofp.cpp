// Writes a SimBrief flight plan of the tests (flight_plan_file.h) on standard output, for the
// tests that run programs:
//   write_ofp [--json] [--alternates N] [--navlog N] [section/name=text | section/name]...
// section/name=text replaces the sample's field; section/name alone leaves it out.

#include <iostream>
#include <string>
#include <vector>

#include "tests/support/flight_plan_file.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    brimwell::test::OfpSpec spec;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const auto& argument = arguments[i];
        if (argument == "--json") {
            spec.json = true;
        } else if (argument == "--alternates" && i + 1 < arguments.size()) {
            spec.alternates = std::stoi(arguments[++i]);
        } else if (argument == "--navlog" && i + 1 < arguments.size()) {
            spec.navlogFixes = std::stoul(arguments[++i]);
        } else if (const auto equals = argument.find('='); equals != std::string::npos) {
            spec.fields.emplace_back(argument.substr(0, equals), argument.substr(equals + 1));
        } else if (argument.find('/') != std::string::npos) {
            spec.fields.emplace_back(argument, std::nullopt);
        } else {
            std::cerr << "write_ofp: unknown argument " << argument << '\n';
            return 2;
        }
    }
    std::cout << brimwell::test::ofpText(spec);
    return 0;
}
