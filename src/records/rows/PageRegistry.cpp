#include "PageRegistry.h"

#include "RowsLog.h"
#include "app/ErrorLog.h"
#include "db/Database.h"

Q_LOGGING_CATEGORY(lcRecords, "ecr.records", QtInfoMsg)

namespace ecr::rows {

void PageContext::skip(int pageIndex, int recordIndex, const std::string& error) {
    WriteErrorLog(location, -1,
                  "page " + std::to_string(pageIndex) + ", record " + std::to_string(recordIndex) + ": " + error);
    qCWarning(lcRecords) << location.c_str() << "page" << pageIndex << "record" << recordIndex << "left out:"
                         << error.c_str();
    skipped.push_back({kind, pageIndex, recordIndex, error});
}

const PageRegistry& DatabaseKinds() {
    static const PageRegistry kinds = [] {
        PageRegistry r;
        AddCashierKind(r);
        AddDepartKind(r);
        AddParamKind(r);
        AddPluKind(r);
        AddJournalKinds(r);
        AddKeyboardKind(r);
        AddMemberKind(r);
        AddBundleKind(r);
        AddPromotionKind(r);
        AddFiscalKinds(r);
        return r;
    }();
    return kinds;
}

link::StoreResult StoreReceivedPage(const PageRegistry& kinds, PageContext& ctx, int kind, ByteView page,
                                    int pageIndex) {
    link::StoreResult out;
    const PageKindInfo* info = kinds.find(kind);
    if (!info || !info->sink) return out;
    const bool endBefore = ctx.endOfData;
    ctx.kind = kind;
    ctx.location = info->name;
    ctx.skipped.clear();
    ctx.moved.clear();
    try {
        db::Transaction tx(ctx.db);
        if (ctx.replaceTable && !info->emptyTable.empty()) ctx.db.execute(info->emptyTable);
        info->sink(ctx, page, pageIndex);
        tx.commit();
        ctx.replaceTable = false;
        out.endOfData = ctx.endOfData;
        out.skipped = std::move(ctx.skipped);
        out.moved = std::move(ctx.moved);
        qCDebug(lcRecords) << info->name.c_str() << "stored page" << pageIndex << "of" << kind;
    } catch (const db::DbError& e) {
        ctx.endOfData = endBefore;
        WriteErrorLog(info->name, e.code(), e.what());
        out.error = e.what();
    } catch (const std::exception& e) {
        ctx.endOfData = endBefore;
        WriteErrorLog(info->name, -1, e.what());
        out.error = e.what();
    }
    ctx.skipped.clear();
    ctx.moved.clear();
    return out;
}

Bytes BuildPage(const PageRegistry& kinds, PageContext& ctx, int kind, int pageIndex) {
    Bytes page(records::kPageSize, kind == records::kind::Logo ? 0x00 : 0xFF);
    const PageKindInfo* info = kinds.find(kind);
    if (info && info->builder) info->builder(ctx, page, pageIndex);
    return page;
}

} // namespace ecr::rows
