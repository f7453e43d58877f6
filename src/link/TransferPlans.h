// What the editors' upload and download buttons do, per data kind: the one
// table that ecrctl and the desktop editors share. A kind is transferable in
// a direction once its record codec is registered (a sink to read, a builder
// to write); adding a codec to the page registry is all it takes.
#pragma once

#include "TransferEngine.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ecr::db {
class Database;
}

namespace ecr::link {

enum class Shape {
    SinglePage, // one page at the base address, no retry, no range
    Paged,      // pages 1..N with a progress panel, stop and continue
    Params,     // the parameter page: read-then-write pair, up to 31 attempts
    Journal,    // paged, journal area chosen by the keyboard, allocation table first
};

struct KindPlan {
    std::string_view name; // ecrctl's KIND
    Shape shape;
    int base;              // base page address (journal: 4352; 4256 for keyboard 0)
    bool canRead;
    bool canWrite;
    bool retries = false;  // paged: up to 31 attempts per page
    int pages = 1;         // paged: page count the buttons set
    int pagesKeyboard0 = 0;// page count when info.keyboard is 0 (0: same as pages)
    int progressRead = 0, progressReadKeyboard0 = 0;   // caption templates
    int progressWrite = 0, progressWriteKeyboard0 = 0;
    bool storeParameters = false; // the read sets the store-parameters flag
};

// Every kind, in ecrctl's order.
const std::vector<KindPlan>& KindPlans();
const KindPlan* FindKindPlan(std::string_view name);

// True when the record codec the direction needs is registered.
bool KindReady(const KindPlan& plan, Direction d);

// Base address, page count and caption template for the database's keyboard.
struct ResolvedPlan {
    int base = 0;
    int pages = 1;      // last page index + 1
    int progressId = 0; // 0: none
};
ResolvedPlan Resolve(const KindPlan& plan, Direction d, int keyboardType);

// Page boxes (1-based, as typed) to 0-based indexes: a start below 1 becomes
// 1, an end above the last page becomes the last page. ok is false when the
// end lies before the start (message 111526).
struct PageSpan {
    int first = 0; // 0-based
    int last = 0;
    bool ok = true;
};
PageSpan ClampPages(int firstBox, int lastBox, int pageCount);

// The paged job for the plan; range: 1-based boxes, or every page when absent.
PagedJob MakePagedJob(const KindPlan& plan, Direction d, int keyboardType, const std::string& progressTemplate,
                      std::optional<std::pair<int, int>> range);

// Starts the transfer the editor's button starts for this kind; false when
// the engine is busy. Confirmation questions belong to the caller.
bool StartKindTransfer(TransferEngine& engine, db::Database& db, const KindPlan& plan, Direction d,
                       std::optional<std::pair<int, int>> range = std::nullopt);

} // namespace ecr::link
