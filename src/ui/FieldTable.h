// Entry forms described by tables. A field table lists, per control, the
// column it edits, its caption, object name, widget, entry rule, the limit of
// the register field, the message when a required field is left empty, what
// it shows for a new row and where it sits. FieldForm (FieldForm.h) builds
// the controls from the table, loads them from a row, checks them in table
// order and gives the values to save.
#pragma once

#include "EntryRules.h"
#include "db/Database.h"
#include "records/Limits.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ecr::ui {

enum class FieldKind {
    Text,    // line edit, stored trimmed as text
    Digits,  // line edit of digits; stored as text, or as a number under a Whole limit
    Code,    // line edit of a digit code (PLU, member, bundle numbers), stored as text
    Amount,  // line edit of a number with any number of points
    Decimal, // line edit of a number with one point
    Combo,   // item index, or itemValues[index], stored
    Check,   // check box, 0 or 1
    Bit,     // one bit of a packed column, on a check box or a two-item combo
    Digit,   // one digit of a digit string, on a combo whose index is the digit
    Label,   // read only: shows the column (or the row's key); without column
             // and label, its caption (a heading among the fields)
    Date,    // date picker, stored as "yyyy-MM-dd hh:mm:ss"; today for a new row
};

// Where a control sits: the form's main grid (section 0) or a section that
// the table lists (a framed group with a heading, or a tab).
struct Section {
    int caption = 0;               // heading or tab caption id
    const char* object = nullptr;  // object name of the heading label (or the tab page)
    int columns = 1;               // controls per grid row
    bool framed = false;           // a frame around the controls, the heading above it
};

// Combo items known only at run time (printer kinds follow the register
// version).
struct ComboItems {
    std::vector<int> captions;
    std::vector<long long> values; // stored value of each item; empty: the index
};

struct Field {
    const char* column = nullptr; // column of the row; Bit and Digit fields share theirs
    int caption = 0;              // label text (check box: its own text); 0: none
    const char* object = nullptr; // object name of the control
    FieldKind kind = FieldKind::Text;
    const char* label = nullptr;  // object name of the label; nullptr: no label
    std::optional<EntryRule> rule;              // line edits: default by kind
    std::optional<records::FieldLimit> limit;   // what the register field holds
    // A limit known only at run time (the parameter page's text widths by
    // layout); used when limit is empty.
    std::function<std::optional<records::FieldLimit>()> limitAt;
    int required = 0;             // message when left empty (trimmed); 0: may be empty
    int maxLength = 0;            // characters a line edit takes; 0: no limit
    int shownDecimals = -1;       // a number shown with at least this many decimals; -1: as stored
    db::Value initial;            // shown for a new row: text, item index, 0/1, digit
    std::optional<db::Value> another; // shown after "add another"; empty: kept
    std::vector<int> itemCaptions;    // combo items from caption ids ...
    std::vector<std::string> itemTexts; // ... or fixed texts
    std::vector<long long> itemValues;  // stored value of each item; empty: the index
    int bit = 0;                  // Bit: bit index in the column
    bool inverted = false;        // Bit: the bit is 1 when the option is off
    int digit = 0;                // Digit: position in the digit string
    bool dateOnly = false;        // Date: the day alone is picked; a loaded row keeps its time of day
    int section = 0;              // index into FieldTable::sections
    std::function<bool()> shown;  // shown only when this says so (version-dependent fields)
    const char* captionArg = nullptr; // fills %1 of the caption: numbered lines share one caption
    bool keepBlanks = false;      // Text: stored and checked as typed, leading and trailing blanks included
    int fallbackItem = -1;        // combo: item shown for a stored value that has none; -1: none, the value kept
    // Combo items built at run time instead of itemCaptions/itemValues;
    // FieldForm::refreshItems builds them again.
    std::function<ComboItems()> itemsAt;
};

struct FieldTable {
    std::vector<Field> fields;     // in tab order, checked in this order
    std::vector<Section> sections; // section 0 is the main grid when listed
    bool tabs = false;             // sections 1.. become tabs of a tab widget
    const char* tabObject = "SSTab1";
    int heading = 0;               // a bold heading above everything; 0: none
    const char* headingObject = "Label1";
};

// A refused field: the message to show, and the control to put the focus in.
struct Refusal {
    QString text;
    const char* object = nullptr;
};

// The caption of a field: its catalogue text, %1 filled with captionArg.
QString CaptionText(const Field& f);

// The text of a limit problem for a field with the caption: the reason's
// catalogue text with %1 the caption and %2.. the problem's values.
QString LimitMessage(int captionId, const records::LimitProblem& problem);
QString LimitMessage(const QString& caption, const records::LimitProblem& problem);

} // namespace ecr::ui
