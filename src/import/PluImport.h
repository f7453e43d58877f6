// PLU import from a spreadsheet, without windows: the first sheet's rows
// from row 2 to the row before the first empty column A, each converted and
// checked against what the register holds, then inserted (a new slot) or
// updated (the slot kept) in one transaction. The desktop form and
// `ecrctl import-plu` share all of it.
#pragma once

#include "db/Database.h"
#include "import/Spreadsheet.h"
#include "records/Plu.h"

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ecr::import {

// Data rows one file may hold: what 160 PLU pages of 64 records hold.
inline constexpr int kMaxImportRows = 10240;
// Where failed imports are logged.
inline constexpr const char* kImportErrorLocation = "frmImport_cmdImport_Click";

namespace msg {
inline constexpr int DateCode = 120400;       // "%1: %2 is a date, not a code."
inline constexpr int NameCut = 120401;        // "%1: cut to the %2 bytes the register holds: "%3"."
inline constexpr int Duplicate = 120402;      // "The same code is in row %1 further down; that row is imported."
inline constexpr int NoRoom = 120403;         // "No room in the register: every place of its %1 PLU pages is taken."
inline constexpr int Unreadable = 120404;     // "%1 cannot be read: %2"
inline constexpr int NotASheet = 120405;      // "%1 is not a spreadsheet (.xlsx, .ods, .xls or .csv)."
inline constexpr int TooManyRows = 120406;    // "The file has more than %1 data rows; ... nothing was imported."
} // namespace msg

// A reason or a warning: a catalogue text and its arguments. With a caption
// id, the caption of the column (in the interface language) fills %1 and the
// arguments %2, %3, ...; without, the arguments fill %1, %2, ...
struct Note {
    int messageId = 0;
    int captionId = 0;
    std::vector<std::string> args;
    bool operator==(const Note&) const = default;
};
// The note's text, with text(id) looking catalogue texts up.
std::string NoteText(const Note& note, const std::function<std::string(int)>& text);

enum class Action { Insert, Update, Reject };

struct PlannedRow {
    int sheetRow = 0; // the spreadsheet's row number (2 for the first data row)
    Action action = Action::Reject;
    records::PluRecord plu; // as it will be stored; sid of the new or kept slot
    std::optional<Note> reason;   // why it is rejected
    std::vector<Note> warnings;   // what was changed to fit
};

struct ImportPlan {
    std::vector<PlannedRow> rows;
    int inserts = 0, updates = 0, rejects = 0, warnings = 0;
};

// What the conversions depend on.
struct ImportSettings {
    int langCode = 1;      // 1: column I is 1 for "是"; otherwise for "YES" in any case
    int keyboard = 2;      // info.keyboard: 0 gives the register 64 PLU pages, others 160
    int pointDecimals = 2; // params.PointEn: decimals of the prices on the register
};
// The settings of this database, in the given interface language.
ImportSettings ReadImportSettings(db::Database& db, int langCode);

// A file refused as a whole: nothing is imported.
class ImportRefused : public std::runtime_error {
public:
    explicit ImportRefused(Note note) : std::runtime_error("import refused"), note_(std::move(note)) {}
    const Note& note() const { return note_; }

private:
    Note note_;
};

// Reads the file's first sheet, as far as the import looks (columns A to I,
// one row past the limit). Throws ImportRefused: unreadable, not a
// spreadsheet (the open database file among them: reading it would drop
// the locks SQLite holds on it), more than kMaxImportRows data rows.
sheets::ReadSheet ReadImportFile(const std::string& path, const std::string& databasePath = {});

// Data rows: from row 2 to the row before the first row whose column A is
// empty after trimming.
int CountDataRows(const sheets::ReadSheet& sheet);

// What importing the sheet would do to the table as it is now; writes nothing.
// Throws ImportRefused for more than kMaxImportRows data rows, db::DbError.
ImportPlan PlanImport(db::Database& db, const sheets::ReadSheet& sheet, const ImportSettings& settings);

// Writes an import in one transaction, a few rows at a time so a window can
// show progress between steps. The plan is made again inside the
// transaction. Any error rolls everything back; so does destroying the
// writer before commit().
class ImportWriter {
public:
    // Begins the transaction and plans. Throws ImportRefused, db::DbError.
    ImportWriter(db::Database& db, const sheets::ReadSheet& sheet, const ImportSettings& settings);
    ~ImportWriter();
    ImportWriter(const ImportWriter&) = delete;
    ImportWriter& operator=(const ImportWriter&) = delete;

    const ImportPlan& plan() const { return plan_; }
    int total() const { return static_cast<int>(plan_.rows.size()); }
    int done() const { return next_; }
    // Writes up to n more rows; false when all are written. Throws
    // db::DbError after rolling back.
    bool step(int n);
    // Writes what is left and commits. Throws db::DbError after rolling back.
    void finish();

private:
    db::Database& db_;
    std::unique_ptr<db::Transaction> tx_;
    ImportPlan plan_;
    int next_ = 0;
};

} // namespace ecr::import
