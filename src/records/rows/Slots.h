// Where rows sit in the register: slot = page index x stride + record index.
// Allocation keeps new rows inside the kind's pages; the download check
// refuses rows that no page holds.
#pragma once

#include "db/Database.h"
#include "records/Limits.h"

#include <optional>
#include <set>
#include <string_view>

namespace ecr::rows {

struct SlotRule {
    int kind;             // base page address
    const char* table;
    const char* column;   // sid, address
    int stride;           // slots of one page: page index x stride + record index
    int perPage;          // records a page holds
    int allocatePerPage;  // records a page gets when slots are handed out
    std::string_view plan; // the kind's transfer plan, which knows its pages
};

const SlotRule& PluSlots();       // 64 a page; 160 pages, 64 with keyboard 0
const SlotRule& MemberSlots();    // 32 a page, 32 pages
const SlotRule& PromotionSlots(); // address; 64 a page, 32 of them handed out; 8 pages
const SlotRule& BundleSlots();    // 16 a page, 16 pages

// Pages of the kind with the keyboard type in force.
int SlotPages(const SlotRule& rule, int keyboardType);

// The slot for a new row: the one after the highest when it lies inside the
// kind's pages, else the lowest free one; nullopt when every slot is taken.
// Slots in `reserved` count as taken.
std::optional<long long> NextSlot(db::Database& db, const SlotRule& rule, int keyboardType,
                                  const std::set<long long>& reserved = {});

// The same over slots already known to be taken (an import that hands out
// many slots in one go keeps its own set).
std::optional<long long> NextFreeSlot(const SlotRule& rule, int pageCount, const std::set<long long>& taken);

// Why a slot lies outside pages 0..pageCount-1 of perPage records; nullopt
// when a page holds it. The problem's %1 is the slot column.
std::optional<records::LimitProblem> CheckSlot(long long slot, int stride, int perPage, int pageCount);

} // namespace ecr::rows
