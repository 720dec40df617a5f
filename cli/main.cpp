// brimwell-plan: the headless planner. It fills the same cells as the window from its options
// and runs the same Calculate command, so that a plan can be scripted.

#include <iostream>
#include <string>
#include <vector>

#include "cli/plan_run.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return brimwell::cli::runPlan(arguments, std::cout, std::cerr);
}
