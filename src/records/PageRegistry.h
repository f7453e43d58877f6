// How the link meets the record formats: for each page kind, a sink that
// stores a received page and a builder that fills an outgoing one.
#pragma once

#include "PageKinds.h"
#include "app/AppState.h"
#include "app/GlobalFunc.h"

#include <array>
#include <functional>
#include <map>
#include <string>

namespace ecr::db {
class Database;
}

namespace ecr::records {

// Journal allocation: one entry per journal page; below 2 means no data.
struct JournalPageTable {
    std::array<std::int32_t, 2048> entries;
    JournalPageTable() { entries.fill(-1); }
};

// What sinks and builders need besides the page bytes.
struct PageContext {
    db::Database& db;
    AppState& state;           // versions, model, tax default, store-parameters flag
    JournalPageTable& journal; // filled by the allocation sink
    bool endOfData = false;    // set by the journal sink on an all-0xFF page
    // An upload that replaces its kind's whole table: the table is emptied in
    // the transaction of the first page that arrives, so a transfer that
    // delivers no page leaves it as it was. Cleared once a page is stored.
    bool replaceTable = false;
};

// Stores one received page (page index = page address - kind). Throws on a
// failure; the caller runs it inside one transaction, so a page is stored
// whole or not at all.
using PageSink = std::function<void(PageContext&, ByteView page, int pageIndex)>;
// Fills one outgoing page. The page arrives preset (0xFF, or 0x00 for logos).
using PageBuilder = std::function<void(PageContext&, ByteSpan page, int pageIndex)>;

struct PageKindInfo {
    std::string name;      // log location of the parser, e.g. "GetData_GetCashierStruct"
    PageSink sink;         // empty: received pages are not parsed
    PageBuilder builder;   // empty: the page is sent as preset
    std::string emptyTable; // statement that empties the kind's table before a whole upload
};

class PageRegistry {
public:
    static PageRegistry& instance();
    void add(int kind, PageKindInfo info) { kinds_[kind] = std::move(info); }
    const PageKindInfo* find(int kind) const {
        auto it = kinds_.find(kind);
        return it == kinds_.end() ? nullptr : &it->second;
    }

private:
    std::map<int, PageKindInfo> kinds_;
};

// Registers every record kind this library knows. Safe to call repeatedly.
void RegisterRecordKinds();

// Runs the sink of the kind inside one transaction (after emptying the table
// when ctx.replaceTable is set). Returns "" when stored (or when the kind has
// no sink); otherwise the error is logged under the parser's name, nothing of
// the page is kept, and the error text is returned.
std::string StoreReceivedPage(PageContext& ctx, int kind, ByteView page, int pageIndex);

// Builds the data bytes of a page write for the kind: preset to 0xFF (0x00
// for the logo kind), then filled by the builder.
Bytes BuildPage(PageContext& ctx, int kind, int pageIndex);

} // namespace ecr::records
