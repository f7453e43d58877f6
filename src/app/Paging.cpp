#include "Paging.h"

#include <algorithm>

namespace ecr {

int TargetPage(PageMove move, int current, int pageCount) {
    switch (move) {
    case PageMove::First: return 1;
    case PageMove::Prev: return std::max(1, current - 1);
    case PageMove::Next: return std::min(pageCount, current + 1);
    case PageMove::Last: return pageCount;
    case PageMove::Stay: return std::clamp(current, 1, std::max(1, pageCount));
    }
    return 1;
}

std::string PositionLabel(int page, int pageCount) { return std::to_string(page) + "(" + std::to_string(pageCount) + ")"; }

} // namespace ecr
