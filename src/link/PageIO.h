// Where the engine's pages come from and go to. The engine moves bytes; a
// page I/O stores what arrives (the database, or a page-image file) and
// builds what leaves, and tells the engine what it must know of the register.
#pragma once

#include "app/GlobalFunc.h"
#include "records/Journal.h"
#include "records/Limits.h"

#include <string>
#include <vector>

namespace ecr::link {

// A record of a received page that could not be stored; the page's other
// records were kept.
struct RecordError {
    int kind = 0;        // base page address
    int pageIndex = 0;   // page address - kind
    int recordIndex = 0; // record within the page
    std::string error;
    bool operator==(const RecordError&) const = default;
};

// A row that cannot be written into its page: a field the register cannot
// hold, or a place outside the kind's pages.
struct RowProblem {
    int kind = 0;
    std::string row;   // the row's code or id
    std::string field; // column
    records::LimitProblem problem;
    bool operator==(const RowProblem&) const = default;
};

struct StoreResult {
    std::string error;                // not empty: nothing of the page was kept
    bool endOfData = false;           // the journal page was erased: the run ends here
    std::vector<RecordError> skipped; // records left out, the rest of the page kept
    std::vector<std::string> moved;   // codes of rows moved aside from a slot the page took
};

struct BuildResult {
    Bytes page;        // 4096 bytes
    std::string error; // not empty: nothing is to be sent
};

// What the transfers depend on, read afresh before each one.
struct RegisterFacts {
    int keyboardType = 2;               // chooses the PLU pages and the journal area
    long long registerVersion = 100320; // decides the journal allocation table
};

class PageIO {
public:
    virtual ~PageIO() = default;

    virtual bool canStore(int kind) const = 0;
    virtual bool canBuild(int kind) const = 0;
    virtual RegisterFacts registerFacts() = 0;
    // A received parameter page replaces the stored parameters only while
    // set; otherwise it only refreshes the page a download is built over.
    virtual void setStoreParameters(bool on) = 0;
    // The next upload of the kind replaces everything stored for it, with its
    // first page that arrives (a transfer that delivers none leaves it).
    virtual void replaceWithFirstPage(int kind) = 0;

    // Stores one received page whole or not at all.
    virtual StoreResult storePage(int kind, ByteView page, int pageIndex) = 0;
    // The page a download sends.
    virtual BuildResult buildPage(int kind, int pageIndex) = 0;
    // Rows of pages first..last (0-based) of the kind that cannot be written,
    // and rows of the kind that no page of its pageCount holds.
    virtual std::vector<RowProblem> checkRows(int kind, int firstPage, int lastPage, int pageCount) = 0;
    // Which journal pages hold data, as stored now.
    virtual records::JournalPageTable journalTable() = 0;
};

} // namespace ecr::link
