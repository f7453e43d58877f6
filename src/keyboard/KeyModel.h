// The keyboard model, without widgets: which layout the database's keyboard
// type opens, where a key keeps its assignment in hotkey (one address per
// level), what every key shows, and storing and restoring assignments.
#pragma once

#include "KeyLayouts.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ecr::db {
class Database;
}

namespace ecr::keyboard {

// Indexes of kLayouts.
enum LayoutIndex : int { kKey39 = 0, kKey39_2 = 1, kKey48 = 2, kKey59 = 3, kKey93 = 4 };

const KeyLayout& LayoutAt(int index);

// The layout the key editor opens for info.keyboard: 0 the 39-key layout (its
// second arrangement when oemType is 1), 1 the 48-key, 2 the 59-key, 3 the
// 93-key, 4 the second 39-key arrangement; anything else the 59-key layout.
int LayoutForKeyboardType(int keyboardType, int oemType = 0);

// The keyboard chooser's entries in list order; the list position is the
// info.keyboard value it stores.
inline constexpr int kChooserLayouts[] = {kKey39, kKey48, kKey59, kKey93, kKey39_2};

// "frmDefineKey59", "ucKey59": names of the layout's editor and its control.
std::string EditorName(const KeyLayout& layout);
std::string ControlName(const KeyLayout& layout);

// ---- addressing ----

// Keys 1..N carry one PLU per level; every other key has a single level.
bool IsLevelKey(const KeyLayout& layout, int code);
int LevelCount(const KeyLayout& layout, int code);
// hotkey addresses of the key, level 1 first: c, c + N (, c + 2N).
std::vector<int> KeyAddresses(const KeyLayout& layout, int code);
// The key code an address shows on (an address of level j folds back by
// (j - 1) * N); addresses beyond the levels stay as they are.
int KeyCodeOf(const KeyLayout& layout, int address);
// 0-based level of an address on its key.
int LevelOf(const KeyLayout& layout, int address);
const KeyPos* FindKey(const KeyLayout& layout, int code);

// ---- assignments ----

struct KeyAssignment {
    enum class Kind { None, Plu, Function };
    Kind kind = Kind::None;
    std::array<std::string, 3> plu; // by level; empty: nothing on that level
    int function = 0;               // function code
    bool operator==(const KeyAssignment&) const = default;
};

// Position of a function code in kKeyFunctions; -1 when it is not there.
int FunctionIndexOf(int code);

// The digits of a PLU row's two words, outer blanks removed.
std::string PluNumber(long long content, long long content2);
// The two words a PLU number is stored as; nullopt beyond 16 digits.
std::optional<std::pair<long long, long long>> PluWords(std::string_view number);

// Why an assignment cannot be stored: the level whose field is wrong and the
// message (111122 for a field of blanks, else a limit message whose %1 is the
// field's caption and whose further placeholders are args).
struct Refusal {
    int level = 0;
    int messageId = 0;
    std::vector<std::string> args;
    bool operator==(const Refusal&) const = default;
};
// Checks the PLU fields of the key's levels (fields of levels it lacks are
// not looked at).
std::optional<Refusal> CheckPluFields(const KeyLayout& layout, int code, const std::array<std::string, 3>& fields);

// ---- what a key shows ----

// Caption column of buttontext for an interface language (English for the
// languages without one).
const char* CaptionColumn(int langCode);
// A stored caption as a key shows it: every blank a line break.
std::string KeyCaptionText(std::string_view stored);

// Marks a key whose PLU number names no PLU of the database.
inline constexpr std::string_view kAssignedMark = "<<  >>";
inline constexpr std::string_view kUnknownPluMark = "<< ! >>";
inline constexpr int kUnknownPluText = 120650; // "%1 is not in the PLU list ..."

struct KeyFace {
    std::string caption; // lines separated by '\n'
    std::string tooltip;
    bool unknownPlu = false;
    bool operator==(const KeyFace&) const = default;
};

// The caption of a PLU assignment: the number, or its first four digits and
// "..." from 8 digits on.
std::string PluCaption(const std::string& number, bool unknown);

// The keyboard's tables for one layout in one interface language.
class KeyboardStore {
public:
    KeyboardStore(db::Database& db, const KeyLayout& layout, int langCode);

    const KeyLayout& layout() const { return layout_; }
    // The factory caption of a key code in the layout's key type, blanks as
    // line breaks; empty when buttontext has no row.
    std::string buttonText(int code);
    // The same with its blanks, for tooltips and questions.
    std::string buttonName(int code);

    // Every key of the layout: its factory caption, or what its assignment
    // shows (the highest assigned level wins).
    std::map<int, KeyFace> faces();

    // The key's current assignment; hasAssignment tells whether any of its
    // addresses holds one.
    KeyAssignment load(int code, bool* hasAssignment = nullptr);
    // Replaces the key's rows with the assignment, in one transaction: PLUs
    // at their levels' addresses, a function once at the key's code. A PLU
    // assignment without numbers clears the key. Check the fields first.
    void store(int code, const KeyAssignment& a);
    // Deletes the key's rows: it shows its factory caption again.
    void restore(int code);
    // Deletes every row of hotkey.
    void restoreAll();
    // Keys of the layout that carry an assignment.
    int assignedKeys();

private:
    std::map<int, std::string> captions();
    bool pluKnown(const std::string& number);
    std::string message(int id);

    db::Database& db_;
    const KeyLayout& layout_;
    int langCode_;
};

} // namespace ecr::keyboard
