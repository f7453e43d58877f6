// Moving through a list shown a page at a time, shared by every paged list.
#pragma once

#include <string>

namespace ecr {

// Stay shows the current page again (a refresh).
enum class PageMove { First, Prev, Next, Last, Stay };

// The page a move reaches: first 1, prev the one before (not below 1), next
// the one after (not above the count), last the count, stay the current one
// (not above the count).
int TargetPage(PageMove move, int current, int pageCount);

// The list position as the forms show it: page 3 of 12 is "3(12)".
std::string PositionLabel(int page, int pageCount);

} // namespace ecr
