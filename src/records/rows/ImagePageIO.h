// The engine's pages kept as they are in a page-image file: a small SQLite
// file with a table of 4096-byte pages by address and a key/value table of
// what is known of the register (model, versions, keyboard, date, program
// version). Reading a register into it and writing it back reproduces the
// register's memory page by page.
#pragma once

#include "link/PageIO.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ecr::db {
class Database;
}

namespace ecr::rows {

namespace meta {
inline constexpr const char* Model = "model";                     // "CEDAR"
inline constexpr const char* Keyboard = "keyboard";               // info.keyboard, "0".."4"
inline constexpr const char* RegisterVersion = "registerVersion"; // "100320"
inline constexpr const char* Date = "date";                       // "YYYY-MM-DD HH:MM:SS"
inline constexpr const char* ProgramVersion = "programVersion";
} // namespace meta

class ImagePageIO : public link::PageIO {
public:
    // Opens the file, creating it (owner-only) when it does not exist. Throws
    // db::DbError when it cannot, or when it is not a page image.
    explicit ImagePageIO(const std::string& path);
    ~ImagePageIO() override;

    std::optional<std::string> meta(const std::string& key);
    void setMeta(const std::string& key, const std::string& value);
    // Stored page addresses in ascending order.
    std::vector<int> addresses();
    std::optional<Bytes> page(int address);
    void putPage(int address, ByteView page);
    // Runs fn in one transaction of the file: all of its writes or none.
    void inTransaction(const std::function<void()>& fn);
    // Folds the journal into the file and keeps none beside it, so the one
    // file holds everything when it is copied or carried away.
    void detachJournal();

    bool canStore(int kind) const override;
    bool canBuild(int kind) const override;
    link::RegisterFacts registerFacts() override;
    void setStoreParameters(bool on) override { storeParameters_ = on; }
    // Pages replace their address; nothing else is emptied.
    void replaceWithFirstPage(int) override {}
    link::StoreResult storePage(int kind, ByteView page, int pageIndex) override;
    link::BuildResult buildPage(int kind, int pageIndex) override;
    std::vector<link::RowProblem> checkRows(int, int, int, int) override { return {}; }
    records::JournalPageTable journalTable() override;

private:
    std::unique_ptr<db::Database> db_;
    bool storeParameters_ = false;
    // The register's parameter page read before a parameter write, used when
    // the image holds none.
    std::optional<Bytes> registerParams_;
};

} // namespace ecr::rows
