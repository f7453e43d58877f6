#include "ImagePageIO.h"

#include "RowsLog.h"
#include "db/Database.h"
#include "records/PageKinds.h"

#include <sqlite3.h>

namespace ecr::rows {

namespace kind = records::kind;

ImagePageIO::ImagePageIO(const std::string& path) : db_(db::Database::open(path, true)) {
    db_->executeScript("CREATE TABLE IF NOT EXISTS page(address INTEGER PRIMARY KEY, data BLOB NOT NULL);"
                       "CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT);");
    const auto columns = db_->columns("page");
    if (columns != std::vector<std::string>{"address", "data"})
        throw db::DbError(SQLITE_CORRUPT, path + " is not a page image");
}

ImagePageIO::~ImagePageIO() = default;

std::optional<std::string> ImagePageIO::meta(const std::string& key) {
    auto rows = db_->query("SELECT value FROM meta WHERE key=?", {key});
    if (rows.empty()) return std::nullopt;
    return rows.rows[0][0].toText();
}

void ImagePageIO::setMeta(const std::string& key, const std::string& value) {
    db_->execute("INSERT OR REPLACE INTO meta(key,value) VALUES(?,?)", {key, value});
}

std::vector<int> ImagePageIO::addresses() {
    std::vector<int> out;
    for (const auto& r : db_->query("SELECT address FROM page ORDER BY address").rows)
        out.push_back(static_cast<int>(r[0].toInt()));
    return out;
}

std::optional<Bytes> ImagePageIO::page(int address) {
    auto rows = db_->query("SELECT data FROM page WHERE address=?", {address});
    if (rows.empty()) return std::nullopt;
    Bytes b = rows.rows[0][0].toBlob();
    b.resize(records::kPageSize, 0xFF);
    return b;
}

void ImagePageIO::putPage(int address, ByteView page) {
    db_->execute("INSERT OR REPLACE INTO page(address,data) VALUES(?,?)",
                 {address, db::Blob(page.begin(), page.begin() + records::kPageSize)});
}

void ImagePageIO::inTransaction(const std::function<void()>& fn) {
    db::Transaction t(*db_);
    fn();
    t.commit();
}

void ImagePageIO::detachJournal() { db_->executeScript("PRAGMA journal_mode=DELETE;"); }

bool ImagePageIO::canStore(int kind) const { return kind != kind::Logo; }
bool ImagePageIO::canBuild(int) const { return true; }

link::RegisterFacts ImagePageIO::registerFacts() {
    link::RegisterFacts f;
    auto number = [this](const char* key, long long fallback) {
        const auto v = meta(key);
        if (!v || v->empty()) return fallback;
        try {
            return std::stoll(*v);
        } catch (...) {
            return fallback;
        }
    };
    f.keyboardType = static_cast<int>(number(meta::Keyboard, f.keyboardType));
    f.registerVersion = number(meta::RegisterVersion, f.registerVersion);
    return f;
}

link::StoreResult ImagePageIO::storePage(int k, ByteView data, int pageIndex) {
    link::StoreResult r;
    try {
        if (k == kind::Params && !storeParameters_) {
            // The read before a parameter write: the stored page stays.
            registerParams_ = Bytes(data.begin(), data.begin() + records::kPageSize);
            return r;
        }
        putPage(k + pageIndex, data);
        if ((k == kind::Journal || k == kind::Journal2) && IsBlankBytes(data.subspan(0, records::kPageSize)))
            r.endOfData = true;
        qCDebug(lcRecords) << "image: stored page" << k + pageIndex;
    } catch (const std::exception& e) {
        r.error = e.what();
    }
    return r;
}

link::BuildResult ImagePageIO::buildPage(int k, int pageIndex) {
    link::BuildResult r;
    try {
        if (auto p = page(k + pageIndex)) {
            r.page = std::move(*p);
        } else if (k == kind::Params && registerParams_) {
            r.page = *registerParams_;
        } else {
            r.page.assign(records::kPageSize, k == kind::Logo ? 0x00 : 0xFF);
        }
    } catch (const std::exception& e) {
        r.page.clear();
        r.error = e.what();
    }
    return r;
}

records::JournalPageTable ImagePageIO::journalTable() {
    records::JournalPageTable table;
    for (int i = 0; i < records::kJournalAllocationPages; ++i)
        if (auto p = page(kind::JournalFat + i)) records::DecodeJournalAllocation(*p, i, table);
    return table;
}

} // namespace ecr::rows
