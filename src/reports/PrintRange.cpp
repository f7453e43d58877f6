#include "PrintRange.h"

#include <algorithm>

namespace ecr::reports {

std::vector<int> PagesToPrint(PrintMode mode, int from, int to, int pageCount) {
    std::vector<int> pages;
    switch (mode) {
    case PrintMode::Range:
        if (from > to) break; // the user asked for nothing
        for (int p = std::max(from, 1); p <= std::min(to, pageCount); ++p) pages.push_back(p);
        break;
    case PrintMode::Odd:
        for (int p = 1; p <= pageCount; p += 2) pages.push_back(p);
        break;
    case PrintMode::Even:
        for (int p = 2; p <= pageCount; p += 2) pages.push_back(p);
        break;
    }
    return pages;
}

} // namespace ecr::reports
