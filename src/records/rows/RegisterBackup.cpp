#include "RegisterBackup.h"

#include "ImagePageIO.h"
#include "RowsLog.h"
#include "app/AppState.h"
#include "app/Config.h"
#include "db/Database.h"
#include "link/RegisterCopy.h"
#include "records/PageKinds.h"

#include <QCryptographicHash>
#include <sqlite3.h>
#include <QDateTime>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>

namespace ecr::rows {

namespace {

// A database file cut short (a copy that stopped, a full disk) may still open
// when only unused space went: its header's page count tells. "" when the
// length is what the header says.
std::string lengthProblem(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char h[100] = {};
    // Files that are no database at all are told apart when opened.
    if (!in.read(reinterpret_cast<char*>(h), sizeof h) || std::memcmp(h, "SQLite format 3", 16) != 0) return {};
    auto be32 = [&h](int at) {
        return static_cast<std::uint64_t>(h[at]) << 24 | static_cast<std::uint64_t>(h[at + 1]) << 16 |
               static_cast<std::uint64_t>(h[at + 2]) << 8 | h[at + 3];
    };
    std::uint64_t pageSize = static_cast<std::uint64_t>(h[16]) << 8 | h[17];
    if (pageSize == 1) pageSize = 65536;
    if (pageSize < 512) return {}; // not a database: opening it says so
    std::error_code ec;
    const std::uint64_t length = std::filesystem::file_size(path, ec);
    if (ec) return {};
    const bool countValid = be32(24) == be32(92) && be32(28) != 0;
    const std::uint64_t expected = countValid ? be32(28) * pageSize : (length + pageSize - 1) / pageSize * pageSize;
    if (length == expected) return {};
    return "it is damaged (the file is " + std::to_string(length) + " bytes long, " + std::to_string(expected) +
           " were written)";
}

namespace fs = std::filesystem;
namespace kind = records::kind;

constexpr const char* kFormatKey = "format";
constexpr const char* kFormat = "ecr register backup";
constexpr const char* kFormatVersionKey = "formatVersion";
constexpr int kFormatVersion = 1;
constexpr const char* kDataVersionKey = "dataVersion";
constexpr const char* kPagesKey = "pages";
constexpr const char* kSumKey = "sha256";

// Over every page in address order, each behind its address.
std::string checkSum(const std::map<int, Bytes>& pages) {
    QCryptographicHash h(QCryptographicHash::Sha256);
    for (const auto& [address, page] : pages) {
        const char a[2] = {static_cast<char>(address & 0xFF), static_cast<char>((address >> 8) & 0xFF)};
        h.addData(QByteArrayView(a, 2));
        h.addData(QByteArrayView(reinterpret_cast<const char*>(page.data()), static_cast<qsizetype>(page.size())));
    }
    return h.result().toHex().toStdString();
}

bool parseNumber(const std::string& s, long long& out) {
    if (s.empty() || s.size() > 18 || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    out = std::stoll(s);
    return true;
}

bool programmingKind(int k) {
    static const std::set<int> kinds = [] {
        std::set<int> s;
        for (const auto& p : link::RegisterCopy::Parts(2)) s.insert(p.base);
        return s;
    }();
    return kinds.count(k) > 0;
}

} // namespace

RegisterIdentity CurrentRegister(db::Database& db, const AppState& state) {
    RegisterIdentity r;
    r.model = state.modelName;
    r.keyboard = GetKeyboardType(db);
    r.dataVersion = ReadDataVersion(db);
    r.registerVersion = JoinRegisterVersion(r.dataVersion);
    r.date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
    r.programVersion = state.appVersion;
    return r;
}

std::vector<IdentityDifference> Differences(const RegisterIdentity& backup, const RegisterIdentity& here) {
    using F = IdentityDifference::Field;
    std::vector<IdentityDifference> out;
    if (backup.model != here.model) out.push_back({F::Model, backup.model, here.model});
    if (backup.keyboard != here.keyboard)
        out.push_back({F::Keyboard, std::to_string(backup.keyboard), std::to_string(here.keyboard)});
    if (backup.registerVersion != here.registerVersion)
        out.push_back({F::Version, std::to_string(backup.registerVersion), std::to_string(here.registerVersion)});
    return out;
}

std::vector<int> BackupAddresses(int keyboardType) { return link::RegisterCopy::Addresses(keyboardType); }

void WriteRegisterBackup(const std::string& path, const RegisterBackup& backup) {
    const std::vector<int> addresses = BackupAddresses(backup.identity.keyboard);
    for (int a : addresses) {
        auto it = backup.pages.find(a);
        if (it == backup.pages.end() || it->second.size() != static_cast<std::size_t>(records::kPageSize))
            throw std::runtime_error("page " + std::to_string(a) + " of the register was not read");
    }
    if (backup.pages.size() != addresses.size()) throw std::runtime_error("the backup holds pages of another register");

    const std::string part = path + ".part";
    std::error_code ec;
    fs::remove(part, ec);
    try {
        {
            ImagePageIO file(part);
            file.inTransaction([&] {
                const RegisterIdentity& id = backup.identity;
                file.setMeta(kFormatKey, kFormat);
                file.setMeta(kFormatVersionKey, std::to_string(kFormatVersion));
                file.setMeta(meta::Model, id.model);
                file.setMeta(meta::Keyboard, std::to_string(id.keyboard));
                file.setMeta(kDataVersionKey, std::to_string(id.dataVersion));
                file.setMeta(meta::RegisterVersion, std::to_string(id.registerVersion));
                file.setMeta(meta::Date, id.date);
                file.setMeta(meta::ProgramVersion, id.programVersion);
                file.setMeta(kPagesKey, std::to_string(backup.pages.size()));
                file.setMeta(kSumKey, checkSum(backup.pages));
                for (const auto& [address, page] : backup.pages) file.putPage(address, page);
            });
            file.detachJournal();
        }
        // An older file at the path is replaced only by a whole one.
        fs::rename(part, path);
    } catch (...) {
        fs::remove(part, ec);
        throw;
    }
    qCDebug(lcRecords) << "register backup written:" << backup.pages.size() << "pages";
}

std::string ReadRegisterBackup(const std::string& path, RegisterBackup& out) {
    out = {};
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return "there is no such file";
    if (std::string why = lengthProblem(path); !why.empty()) return why;
    std::unique_ptr<db::Database> file;
    try {
        file = db::Database::openReadOnly(path);
    } catch (const db::DbError& e) {
        if ((e.code() & 0xFF) == SQLITE_NOTADB) return std::string("it is not a database file (") + e.what() + ")";
        return std::string("it is damaged (") + e.what() + ")";
    }
    RegisterBackup b;
    try {
        const std::string check = file->scalar("PRAGMA quick_check").toText();
        if (check != "ok") return "it is damaged (" + check + ")";
        const auto tables = file->tables();
        auto has = [&tables](const char* t) { return std::find(tables.begin(), tables.end(), t) != tables.end(); };
        if (!has("page") || !has("meta") || file->columns("page") != std::vector<std::string>{"address", "data"})
            return "it is not a register backup";
        std::map<std::string, std::string> meta;
        for (const auto& r : file->query("SELECT key, value FROM meta").rows) meta[r[0].toText()] = r[1].toText();
        if (meta[kFormatKey] != kFormat) return "it is not a register backup";
        long long n = 0;
        if (!parseNumber(meta[kFormatVersionKey], n)) return "it is not a register backup";
        if (n > kFormatVersion) return "it was written by a newer version of the program";

        RegisterIdentity& id = b.identity;
        long long keyboard = 0, dataVersion = 0, registerVersion = 0, pages = 0;
        id.model = meta[meta::Model];
        id.date = meta[meta::Date];
        id.programVersion = meta[meta::ProgramVersion];
        if (id.model.empty() || !parseNumber(meta[meta::Keyboard], keyboard) || keyboard > 4 ||
            !parseNumber(meta[kDataVersionKey], dataVersion) || !parseNumber(meta[meta::RegisterVersion], registerVersion) ||
            !parseNumber(meta[kPagesKey], pages))
            return "it does not say which register it comes from";
        id.keyboard = static_cast<int>(keyboard);
        id.dataVersion = static_cast<int>(dataVersion);
        id.registerVersion = registerVersion;

        for (const auto& r : file->query("SELECT address, data FROM page ORDER BY address").rows) {
            const int address = static_cast<int>(r[0].toInt());
            Bytes data = r[1].toBlob();
            if (data.size() != static_cast<std::size_t>(records::kPageSize))
                return "page " + std::to_string(address) + " is " + std::to_string(data.size()) + " bytes long";
            b.pages[address] = std::move(data);
        }
        const std::vector<int> expected = BackupAddresses(id.keyboard);
        for (int a : expected)
            if (!b.pages.count(a)) return "page " + std::to_string(a) + " is missing";
        if (b.pages.size() != expected.size() || static_cast<long long>(b.pages.size()) != pages)
            return "it holds pages that are no part of a register backup";
        if (checkSum(b.pages) != meta[kSumKey]) return "its pages do not match their check sum";
    } catch (const std::exception& e) {
        return std::string("it is damaged (") + e.what() + ")";
    }
    out = std::move(b);
    return {};
}

// ---- page I/O --------------------------------------------------------------------

void BackupPageIO::setMode(Mode mode) {
    mode_ = mode;
    mismatches_.clear();
    storeParameters_ = false;
}

bool BackupPageIO::canStore(int k) const { return programmingKind(k); }
bool BackupPageIO::canBuild(int k) const { return mode_ == Mode::Write && programmingKind(k); }

link::RegisterFacts BackupPageIO::registerFacts() {
    link::RegisterFacts f;
    f.keyboardType = backup_.identity.keyboard;
    f.registerVersion = backup_.identity.registerVersion;
    return f;
}

link::StoreResult BackupPageIO::storePage(int k, ByteView page, int pageIndex) {
    link::StoreResult r;
    // The read before a parameter write only shows the register is there.
    if (k == kind::Params && !storeParameters_) return r;
    const int address = k + pageIndex;
    Bytes data(page.begin(), page.begin() + records::kPageSize);
    switch (mode_) {
    case Mode::Collect: backup_.pages[address] = std::move(data); break;
    case Mode::Verify: {
        auto it = backup_.pages.find(address);
        const bool known = std::find(mismatches_.begin(), mismatches_.end(), address) != mismatches_.end();
        if ((it == backup_.pages.end() || it->second != data) && !known) {
            mismatches_.push_back(address);
            qCDebug(lcRecords) << "verify: page" << address << "differs";
        }
        break;
    }
    case Mode::Write: break; // a write never changes the backup
    }
    return r;
}

link::BuildResult BackupPageIO::buildPage(int k, int pageIndex) {
    link::BuildResult r;
    auto it = backup_.pages.find(k + pageIndex);
    if (mode_ != Mode::Write || it == backup_.pages.end())
        r.error = "page " + std::to_string(k + pageIndex) + " is not in the backup";
    else
        r.page = it->second;
    return r;
}

} // namespace ecr::rows
