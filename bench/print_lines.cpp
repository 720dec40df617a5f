// The yardstick of the planner's start-up: it only prints the 37 lines of the sample plan, through
// the same stream as brimwell-plan; the text is the one the planner's tests expect of it.

#include <iostream>

#include "sample_report.h"

int main() {
    std::cout << kSampleReport;
    return 0;
}
