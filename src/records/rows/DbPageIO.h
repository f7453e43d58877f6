// The engine's pages stored in and built from the program's database.
#pragma once

#include "PageRegistry.h"
#include "link/PageIO.h"

namespace ecr::rows {

class DbPageIO : public link::PageIO {
public:
    // state: the versions, model, tax default and store-parameters flag the
    // kinds read (App() in the programs).
    DbPageIO(db::Database& db, AppState& state, const PageRegistry& kinds = DatabaseKinds());

    db::Database& database() const { return ctx_.db; }

    bool canStore(int kind) const override;
    bool canBuild(int kind) const override;
    link::RegisterFacts registerFacts() override;
    void setStoreParameters(bool on) override { ctx_.state.storeParameters = on; }
    void replaceWithFirstPage(int) override { ctx_.replaceTable = true; }
    link::StoreResult storePage(int kind, ByteView page, int pageIndex) override;
    link::BuildResult buildPage(int kind, int pageIndex) override;
    std::vector<link::RowProblem> checkRows(int kind, int firstPage, int lastPage, int pageCount) override;
    records::JournalPageTable journalTable() override;

private:
    PageContext ctx_;
    const PageRegistry& kinds_;
};

} // namespace ecr::rows
