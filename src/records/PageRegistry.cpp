#include "PageRegistry.h"

#include "app/ErrorLog.h"
#include "db/Database.h"

namespace ecr::records {

PageRegistry& PageRegistry::instance() {
    static PageRegistry r;
    return r;
}

std::string StoreReceivedPage(PageContext& ctx, int kind, ByteView page, int pageIndex) {
    const PageKindInfo* info = PageRegistry::instance().find(kind);
    if (!info || !info->sink) return {};
    const bool endBefore = ctx.endOfData;
    try {
        db::Transaction tx(ctx.db);
        if (ctx.replaceTable && !info->emptyTable.empty()) ctx.db.execute(info->emptyTable);
        info->sink(ctx, page, pageIndex);
        tx.commit();
        ctx.replaceTable = false;
        return {};
    } catch (const db::DbError& e) {
        ctx.endOfData = endBefore;
        WriteErrorLog(info->name, e.code(), e.what());
        return e.what();
    } catch (const std::exception& e) {
        ctx.endOfData = endBefore;
        WriteErrorLog(info->name, -1, e.what());
        return e.what();
    }
}

Bytes BuildPage(PageContext& ctx, int kind, int pageIndex) {
    Bytes page(kPageSize, kind == kind::Logo ? 0x00 : 0xFF);
    const PageKindInfo* info = PageRegistry::instance().find(kind);
    if (info && info->builder) info->builder(ctx, page, pageIndex);
    return page;
}

} // namespace ecr::records
