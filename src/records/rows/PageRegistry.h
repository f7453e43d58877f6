// The page kinds over the database: for each kind, a sink that stores a
// received page into its table, a builder that fills an outgoing page from
// it, and the check of its rows before a download.
#pragma once

#include "app/AppState.h"
#include "app/GlobalFunc.h"
#include "link/PageIO.h"
#include "records/PageKinds.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ecr::db {
class Database;
}

namespace ecr::rows {

// What sinks, builders and checks need besides the page bytes.
struct PageContext {
    db::Database& db;
    AppState& state;        // versions, model, tax default, store-parameters flag
    bool endOfData = false; // set by the journal sink on an all-0xFF page
    // An upload that replaces its kind's whole table: the table is emptied in
    // the transaction of the first page that arrives, so a transfer that
    // delivers no page leaves it as it was. Cleared once a page is stored.
    bool replaceTable = false;

    // Filled while one page is stored.
    int kind = 0;
    std::string location; // the sink's log location
    std::vector<link::RecordError> skipped;
    std::vector<std::string> moved;

    // Leaves record `recordIndex` out: logged under the sink's location and
    // listed for the transfer's result; the page's other records are kept.
    void skip(int pageIndex, int recordIndex, const std::string& error);
};

// Stores one received page. Throws on a failure; the caller runs it inside
// one transaction, so a page is stored whole or not at all.
using PageSink = std::function<void(PageContext&, ByteView page, int pageIndex)>;
// Fills one outgoing page. The page arrives preset (0xFF, or 0x00 for logos).
using PageBuilder = std::function<void(PageContext&, ByteSpan page, int pageIndex)>;
// Lists the rows of pages first..last that cannot be written, and the rows
// that lie outside the kind's pageCount pages.
using PageCheck = std::function<void(PageContext&, int first, int last, int pageCount, std::vector<link::RowProblem>&)>;

struct PageKindInfo {
    std::string name;       // log location of the parser, e.g. "GetData_GetCashierStruct"
    PageSink sink;          // empty: received pages are not parsed
    PageBuilder builder;    // empty: the page is sent as preset
    std::string emptyTable; // statement that empties the kind's table before a whole upload
    PageCheck check;        // empty: every row can be written
};

class PageRegistry {
public:
    void add(int kind, PageKindInfo info) { kinds_[kind] = std::move(info); }
    const PageKindInfo* find(int kind) const {
        auto it = kinds_.find(kind);
        return it == kinds_.end() ? nullptr : &it->second;
    }

private:
    std::map<int, PageKindInfo> kinds_;
};

// Every record kind the program stores in its database.
const PageRegistry& DatabaseKinds();

// Runs the sink of the kind inside one transaction (after emptying the table
// when ctx.replaceTable is set). error is "" when stored (or when the kind
// has no sink); otherwise the error is logged under the parser's name and
// nothing of the page is kept.
link::StoreResult StoreReceivedPage(const PageRegistry& kinds, PageContext& ctx, int kind, ByteView page,
                                    int pageIndex);

// Builds the data bytes of a page write for the kind: preset to 0xFF (0x00
// for the logo kind), then filled by the builder. Throws when the rows
// cannot be read.
Bytes BuildPage(const PageRegistry& kinds, PageContext& ctx, int kind, int pageIndex);

// Which journal pages hold data, from plurecordfat (fat1, fat2).
records::JournalPageTable LoadJournalPageTable(db::Database& db);

// The kinds' registrations, one per source.
void AddCashierKind(PageRegistry& r);
void AddDepartKind(PageRegistry& r);
void AddParamKind(PageRegistry& r);
void AddPluKind(PageRegistry& r);
void AddJournalKinds(PageRegistry& r);
void AddKeyboardKind(PageRegistry& r);
void AddMemberKind(PageRegistry& r);
void AddBundleKind(PageRegistry& r);
void AddPromotionKind(PageRegistry& r);
void AddFiscalKinds(PageRegistry& r);

} // namespace ecr::rows
