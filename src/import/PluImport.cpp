#include "PluImport.h"

#include "app/CodePage.h"
#include "app/Config.h"
#include "app/GlobalFunc.h"
#include "records/Fields.h"
#include "records/Limits.h"
#include "records/rows/Slots.h"
#include "records/rows/Tables.h"

#include <cmath>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <unordered_map>

namespace ecr::import {

namespace {

using records::FieldLimit;
using records::LimitProblem;
using records::PluLimits;
using records::PluRecord;
using sheets::ReadCell;

// Column captions (the export's headings) that name a field in a reason.
enum Caption {
    kCode = 111307,
    kName = 111308,
    kDepart = 111309,
    kPrice = 111310,
    kSafeStock = 111311,
    kStock = 111312,
    kMemberPrice = 111448,
    kAveragePrice = 111449,
};

// ---- Cell conversions ----

std::size_t utf8Length(unsigned char c) { return c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4; }

// The first n characters (not bytes).
std::string firstChars(const std::string& s, std::size_t n) {
    std::size_t i = 0;
    for (std::size_t k = 0; k < n && i < s.size(); ++k) i += utf8Length(static_cast<unsigned char>(s[i]));
    return s.substr(0, std::min(i, s.size()));
}

std::string withoutTabsAndLineEnds(std::string s) {
    std::erase_if(s, [](char c) { return c == '\t' || c == '\r' || c == '\n'; });
    return s;
}

// Codes and names: trimmed, the first 20 characters, tabs and line ends
// removed, and trimmed again so that a code never keeps a blank at its end.
std::string cellText(const ReadCell& c) {
    return TrimBlanks(withoutTabsAndLineEnds(firstChars(TrimBlanks(c.text), 20)));
}

// The leading-number rule on what the cell shows; a number cell's own value.
double cellNumber(const ReadCell& c) { return c.type == ReadCell::Type::Number ? c.number : NumericValue(c.text); }

// Currency keeps four decimals.
double currency(double v) { return std::round(v * 10000.0) / 10000.0; }

// The longest start of the name that fits the register's bytes, whole characters.
std::string cutToRegisterBytes(const std::string& name, std::size_t bytes) {
    std::size_t i = 0, used = 0;
    while (i < name.size()) {
        const std::size_t n = utf8Length(static_cast<unsigned char>(name[i]));
        const std::size_t w = RegisterTextLength(name.substr(i, n));
        if (used + w > bytes) break;
        used += w;
        i += n;
    }
    return name.substr(0, i);
}

Note limitNote(const LimitProblem& p, int caption) { return Note{p.messageId, caption, p.args}; }

// One data row converted; reason set when the register cannot hold it.
PlannedRow convertRow(const sheets::ReadSheet& sheet, int r, const ImportSettings& s) {
    PlannedRow row;
    row.sheetRow = r + 1;
    PluRecord& p = row.plu;
    auto reject = [&row](Note n) {
        if (!row.reason) row.reason = std::move(n);
    };

    const ReadCell& a = sheet.at(r, 0);
    p.id = cellText(a);
    if (a.type == ReadCell::Type::Date)
        reject(Note{msg::DateCode, kCode, {a.text}});
    else if (auto problem = records::CheckText(PluLimits::id, p.id, s.pointDecimals))
        reject(limitNote(*problem, kCode));

    p.name = cellText(sheet.at(r, 1));
    if (std::string bad = UnencodableCharacter(p.name); !bad.empty()) {
        reject(Note{records::limitmsg::Unencodable, kName, {bad}});
    } else if (RegisterTextLength(p.name) > static_cast<std::size_t>(PluLimits::name.bytes)) {
        p.name = cutToRegisterBytes(p.name, static_cast<std::size_t>(PluLimits::name.bytes));
        row.warnings.push_back(Note{msg::NameCut, kName, {std::to_string(PluLimits::name.bytes), p.name}});
    }

    // The department is the number's first two characters: "123" is 12.
    const std::string depart =
        withoutTabsAndLineEnds(firstChars(PlainNumberText(cellNumber(sheet.at(r, 2))), 2));
    const double departValue = std::trunc(NumericValue(depart));
    if (auto problem = records::CheckNumber(PluLimits::depart, departValue, s.pointDecimals))
        reject(limitNote(*problem, kDepart));
    else
        p.depart = static_cast<int>(departValue);

    struct NumberField {
        int column;
        double* value;
        const FieldLimit& limit;
        int caption;
        bool isCurrency;
    };
    const NumberField numbers[] = {
        {3, &p.price, PluLimits::price, kPrice, true},
        {4, &p.memberprice, PluLimits::price, kMemberPrice, true},
        {5, &p.averagePrice, PluLimits::price, kAveragePrice, true},
        {6, &p.safestock, PluLimits::stock, kSafeStock, false},
        {7, &p.stockvalue, PluLimits::stock, kStock, false},
    };
    for (const auto& f : numbers) {
        const double v = cellNumber(sheet.at(r, f.column));
        *f.value = f.isCurrency ? currency(v) : v;
        if (auto problem = records::CheckNumber(f.limit, *f.value, s.pointDecimals)) reject(limitNote(*problem, f.caption));
    }

    const std::string flag = TrimBlanks(sheet.at(r, 8).text);
    if (s.langCode == 1) {
        p.a0 = flag == "是" ? 1 : 0;
    } else {
        std::string upper = flag;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        p.a0 = upper == "YES" ? 1 : 0;
    }
    return row;
}

} // namespace

std::string NoteText(const Note& note, const std::function<std::string(int)>& text) {
    std::vector<std::string> args;
    if (note.captionId) args.push_back(text(note.captionId));
    args.insert(args.end(), note.args.begin(), note.args.end());
    return SubstituteArgs(text(note.messageId), args);
}

ImportSettings ReadImportSettings(db::Database& db, int langCode) {
    ImportSettings s;
    s.langCode = langCode;
    s.keyboard = GetKeyboardType(db);
    s.pointDecimals = records::PriceDecimals(GetDecimalPlaces(db));
    return s;
}

int CountDataRows(const sheets::ReadSheet& sheet) {
    int n = 0;
    while (!TrimBlanks(sheet.at(n + 1, 0).text).empty()) ++n;
    return n;
}

sheets::ReadSheet ReadImportFile(const std::string& path, const std::string& databasePath) {
    std::error_code ec;
    if (!databasePath.empty() && std::filesystem::equivalent(path, databasePath, ec))
        throw ImportRefused(Note{msg::NotASheet, 0, {path}});
    sheets::ReadSheet sheet;
    try {
        // Columns A to I, and one row past the most that may be imported.
        sheet = sheets::ReadFirstSheet(path, {kMaxImportRows + 2, 9});
    } catch (const sheets::ReadError& e) {
        if (e.kind() == sheets::ReadError::Kind::NotASpreadsheet) throw ImportRefused(Note{msg::NotASheet, 0, {path}});
        throw ImportRefused(Note{msg::Unreadable, 0, {path, e.detail()}});
    } catch (const sheets::SheetError& e) {
        throw ImportRefused(Note{msg::Unreadable, 0, {path, e.what()}});
    }
    if (CountDataRows(sheet) > kMaxImportRows)
        throw ImportRefused(Note{msg::TooManyRows, 0, {std::to_string(kMaxImportRows)}});
    return sheet;
}

ImportPlan PlanImport(db::Database& db, const sheets::ReadSheet& sheet, const ImportSettings& settings) {
    const int count = CountDataRows(sheet);
    if (count > kMaxImportRows) throw ImportRefused(Note{msg::TooManyRows, 0, {std::to_string(kMaxImportRows)}});
    ImportPlan plan;
    plan.rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) plan.rows.push_back(convertRow(sheet, i + 1, settings));

    // Of rows with the same code the last one is imported.
    std::unordered_map<std::string, int> latest;
    for (auto it = plan.rows.rbegin(); it != plan.rows.rend(); ++it) {
        if (it->reason) continue;
        auto [at, fresh] = latest.emplace(it->plu.id, it->sheetRow);
        if (!fresh) it->reason = Note{msg::Duplicate, 0, {std::to_string(at->second)}};
    }

    // New rows take slots as the editor hands them out, each one counted as
    // taken for the rows after it; an update keeps its slot.
    std::unordered_map<std::string, long long> existing;
    std::set<long long> taken;
    for (const auto& r : db.query("SELECT id, sid FROM plu").rows) {
        existing.emplace(r[0].toText(), r[1].toInt());
        if (!r[1].isNull()) taken.insert(r[1].toInt());
    }
    const int pages = rows::SlotPages(rows::PluSlots(), settings.keyboard);

    for (auto& row : plan.rows) {
        if (!row.reason) {
            if (auto found = existing.find(row.plu.id); found != existing.end()) {
                row.action = Action::Update;
                row.plu.sid = static_cast<int>(found->second);
            } else {
                const std::optional<long long> sid = rows::NextFreeSlot(rows::PluSlots(), pages, taken);
                if (!sid) {
                    row.reason = Note{msg::NoRoom, 0, {std::to_string(pages)}};
                } else {
                    row.action = Action::Insert;
                    row.plu.sid = static_cast<int>(*sid);
                    taken.insert(*sid);
                }
            }
        }
        if (row.reason) {
            row.action = Action::Reject;
            row.warnings.clear();
            ++plan.rejects;
        } else {
            ++(row.action == Action::Insert ? plan.inserts : plan.updates);
            plan.warnings += static_cast<int>(row.warnings.size());
        }
    }
    return plan;
}

ImportWriter::ImportWriter(db::Database& db, const sheets::ReadSheet& sheet, const ImportSettings& settings)
    : db_(db), tx_(std::make_unique<db::Transaction>(db)), plan_(PlanImport(db, sheet, settings)) {}

ImportWriter::~ImportWriter() = default; // an open transaction rolls back

bool ImportWriter::step(int n) {
    if (!tx_) return false;
    try {
        for (; n > 0 && next_ < total(); --n, ++next_) {
            const PlannedRow& row = plan_.rows[static_cast<std::size_t>(next_)];
            if (row.action != Action::Reject) rows::WritePlu(db_, row.plu);
        }
    } catch (...) {
        tx_.reset();
        throw;
    }
    return next_ < total();
}

void ImportWriter::finish() {
    while (step(1024)) {
    }
    if (!tx_) throw std::logic_error("the import was rolled back");
    try {
        tx_->commit();
    } catch (...) {
        tx_.reset();
        throw;
    }
    tx_.reset();
}

} // namespace ecr::import
