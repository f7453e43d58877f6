// Demo contents of the record kinds beyond cashiers and departments: the
// parameter page, keys, PLUs, members, bundles, promotions, fiscal days,
// flash-cash totals and a sales journal with its allocation table.
#pragma once

#include "RegisterMemory.h"
#include "records/Limits.h"

#include <string>

namespace ecr::sim {

// A demo text, checked against the field it goes into: a text the register
// would cut short throws std::logic_error naming it, so the demo register
// holds every name whole.
std::string DemoText(const records::FieldLimit& limit, const std::string& text);

void FillDemoParams(RegisterMemory& mem);
void FillDemoKeys(RegisterMemory& mem);
void FillDemoPlus(RegisterMemory& mem);
void FillDemoMembers(RegisterMemory& mem);
void FillDemoBundles(RegisterMemory& mem);
void FillDemoPromotions(RegisterMemory& mem);
void FillDemoFiscal(RegisterMemory& mem);
void FillDemoFlashCash(RegisterMemory& mem);

// Journal pages of a register with the large PLU area (whose journal starts
// at 4352; the area at 4256 holds PLU pages 64..159), and the allocation
// table over them:
// page 0 holds sales, page 1 is marked empty (its old records must not be
// read), page 2 holds sales, page 3 is erased (the read ends there) and page 4
// holds records that a read never reaches.
inline constexpr int kDemoJournalEntries[] = {2, 0, 3, 4, 5};
void FillDemoJournal(RegisterMemory& mem);

} // namespace ecr::sim
