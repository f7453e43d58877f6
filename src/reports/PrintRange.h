// Which pages a print request prints.
#pragma once

#include <vector>

namespace ecr::reports {

enum class PrintMode { Range = 0, Odd = 1, Even = 2 };

// Pages (1-based, ascending) of a document of pageCount pages: the range
// from..to cut to the pages that exist, or every odd or even page. A range
// that ends before it starts, or lies wholly outside the document, is empty.
std::vector<int> PagesToPrint(PrintMode mode, int from, int to, int pageCount);

} // namespace ecr::reports
