#include "DbPageIO.h"

#include "app/Config.h"
#include "app/ErrorLog.h"
#include "db/Database.h"

namespace ecr::rows {

DbPageIO::DbPageIO(db::Database& db, AppState& state, const PageRegistry& kinds)
    : ctx_{db, state}, kinds_(kinds) {}

bool DbPageIO::canStore(int kind) const {
    const PageKindInfo* info = kinds_.find(kind);
    return info && info->sink;
}

bool DbPageIO::canBuild(int kind) const {
    const PageKindInfo* info = kinds_.find(kind);
    return info && info->builder;
}

link::RegisterFacts DbPageIO::registerFacts() {
    RefreshRegisterVersion(ctx_.db, ctx_.state);
    return {GetKeyboardType(ctx_.db), ctx_.state.registerVersion};
}

link::StoreResult DbPageIO::storePage(int kind, ByteView page, int pageIndex) {
    ctx_.endOfData = false;
    return StoreReceivedPage(kinds_, ctx_, kind, page, pageIndex);
}

link::BuildResult DbPageIO::buildPage(int kind, int pageIndex) {
    link::BuildResult r;
    try {
        r.page = BuildPage(kinds_, ctx_, kind, pageIndex);
    } catch (const std::exception& e) {
        // Nothing is sent: a page that could not be built must not overwrite
        // the register's one.
        const PageKindInfo* info = kinds_.find(kind);
        WriteErrorLog(info ? info->name : std::string("Comm_DownloadData"), -1, e.what());
        r.page.clear();
        r.error = e.what();
    }
    return r;
}

std::vector<link::RowProblem> DbPageIO::checkRows(int kind, int firstPage, int lastPage, int pageCount) {
    std::vector<link::RowProblem> out;
    const PageKindInfo* info = kinds_.find(kind);
    if (info && info->check) info->check(ctx_, firstPage, lastPage, pageCount, out);
    return out;
}

records::JournalPageTable DbPageIO::journalTable() { return LoadJournalPageTable(ctx_.db); }

} // namespace ecr::rows
