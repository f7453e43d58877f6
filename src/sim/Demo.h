// Demo contents for the simulated register, built with the record codecs so
// the pages are exactly what a register holds. One part per data kind: to
// add PLUs, members and so on, add a filler to DemoParts().
#pragma once

#include "RegisterMemory.h"

#include <string_view>
#include <vector>

namespace ecr::sim {

struct DemoPart {
    std::string_view name; // "cashiers", "departments", ...
    void (*fill)(RegisterMemory&);
};

const std::vector<DemoPart>& DemoParts();
// Every part.
void FillDemo(RegisterMemory& memory);

} // namespace ecr::sim
