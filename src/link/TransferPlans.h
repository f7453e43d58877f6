// What the editors' upload and download buttons do, per data kind: the one
// table that ecrctl and the desktop editors share. A kind is transferable in
// a direction when the page I/O can store it (read) or build it (write).
#pragma once

#include "TransferEngine.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    int captionId = 0;            // what messages call the kind
};

// Every kind, in ecrctl's order.
const std::vector<KindPlan>& KindPlans();
const KindPlan* FindKindPlan(std::string_view name);

// True when the page I/O can store (read) or build (write) the kind's pages.
bool KindReady(const PageIO& io, const KindPlan& plan, Direction d);
// The plan of a base page address (either journal area); nullptr for none.
const KindPlan* KindPlanOf(int kind);

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

// Whether a read replaces the kind's table: members, promotions, bundles and
// fiscal records are emptied before an upload (with the first page that
// arrives), so the register's pages replace them. A read that starts at a
// later page continues an earlier one and keeps its rows. range: 1-based
// boxes, or every page when absent.
bool ReadReplacesTable(const KindPlan& plan, std::optional<std::pair<int, int>> range);

// Starts the transfer the editor's button starts for this kind, with the
// keyboard type the engine's page I/O reports; false when the engine is busy.
// replaceTable: a read replaces what is stored of the kind. Confirmation
// questions belong to the caller.
bool StartKindTransfer(TransferEngine& engine, const KindPlan& plan, Direction d,
                       std::optional<std::pair<int, int>> range = std::nullopt, bool replaceTable = false);

} // namespace ecr::link
