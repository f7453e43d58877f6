#include "KeyModel.h"

#include "app/Config.h"
#include "app/GlobalFunc.h"
#include "app/Messages.h"
#include "db/Database.h"
#include "records/Limits.h"
#include "records/rows/Tables.h"

#include <algorithm>

namespace ecr::keyboard {

const KeyLayout& LayoutAt(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kLayouts))) index = kKey59;
    return kLayouts[index];
}

int LayoutForKeyboardType(int keyboardType, int oemType) {
    switch (keyboardType) {
    case 0: return oemType == 1 ? kKey39_2 : kKey39;
    case 1: return kKey48;
    case 3: return kKey93;
    case kSecondKey39Keyboard: return kKey39_2;
    default: return kKey59;
    }
}

std::string EditorName(const KeyLayout& layout) {
    // "KEY39_2" -> "frmDefineKey39_2"
    return "frmDefineKey" + std::string(layout.keyType.substr(3));
}

std::string ControlName(const KeyLayout& layout) { return "ucKey" + std::string(layout.keyType.substr(3)); }

// ---- addressing ----

bool IsLevelKey(const KeyLayout& layout, int code) { return code >= 1 && code <= layout.levelKeys; }

int LevelCount(const KeyLayout& layout, int code) { return IsLevelKey(layout, code) ? layout.levels : 1; }

std::vector<int> KeyAddresses(const KeyLayout& layout, int code) {
    std::vector<int> a;
    for (int j = 0; j < LevelCount(layout, code); ++j) a.push_back(code + j * layout.levelKeys);
    return a;
}

int LevelOf(const KeyLayout& layout, int address) {
    if (address < 1 || address > layout.levelKeys * layout.levels) return 0;
    return (address - 1) / layout.levelKeys;
}

int KeyCodeOf(const KeyLayout& layout, int address) { return address - LevelOf(layout, address) * layout.levelKeys; }

const KeyPos* FindKey(const KeyLayout& layout, int code) {
    for (const KeyPos& k : layout.keys)
        if (k.code == code) return &k;
    return nullptr;
}

// ---- assignments ----

int FunctionIndexOf(int code) {
    for (int i = 0; i < static_cast<int>(std::size(kKeyFunctions)); ++i)
        if (kKeyFunctions[i].code == code) return i;
    return -1;
}

std::string PluNumber(long long content, long long content2) {
    const Bytes first = NumberToBytes(static_cast<double>(content), 4, 0, false);
    const Bytes second = NumberToBytes(static_cast<double>(content2), 4, 0, false);
    return BytesToDigits(first, second);
}

std::optional<std::pair<long long, long long>> PluWords(std::string_view number) {
    std::int32_t first = 0, second = 0;
    if (!DigitsToLongs(number, first, second)) return std::nullopt;
    return std::pair<long long, long long>{first, second};
}

std::optional<Refusal> CheckPluFields(const KeyLayout& layout, int code, const std::array<std::string, 3>& fields) {
    for (int j = 0; j < LevelCount(layout, code); ++j) {
        const std::string& text = fields[static_cast<std::size_t>(j)];
        if (text.empty()) continue;
        const std::string number = TrimBlanks(text);
        if (number.empty()) return Refusal{j, 111122, {}};
        if (auto p = records::CheckText(records::CodeLimit(), number, 0)) return Refusal{j, p->messageId, p->args};
    }
    return std::nullopt;
}

// ---- what a key shows ----

const char* CaptionColumn(int langCode) {
    switch (langCode) {
    case 1: return "Chn_Content";
    case 4: return "Vietnam_content";
    case 5: return "farsi_content";
    case 6: return "French_content";
    case 7: return "thailand_content";
    default: return "Eng_Content";
    }
}

std::string KeyCaptionText(std::string_view stored) {
    std::string t(stored);
    std::replace(t.begin(), t.end(), ' ', '\n');
    return t;
}

std::string PluCaption(const std::string& number, bool unknown) {
    const std::string shown = number.size() < 8 ? number : number.substr(0, 4) + "...";
    return std::string(unknown ? kUnknownPluMark : kAssignedMark) + "\n" + shown;
}

KeyboardStore::KeyboardStore(db::Database& db, const KeyLayout& layout, int langCode)
    : db_(db), layout_(layout), langCode_(langCode) {}

namespace {

// A caption in the language's column; a key left blank there takes the
// English caption rather than showing nothing.
std::string captionExpression(int langCode) {
    const std::string column = CaptionColumn(langCode);
    return "COALESCE(NULLIF(TRIM(" + column + "), ''), Eng_Content, '')";
}

} // namespace

std::map<int, std::string> KeyboardStore::captions() {
    std::map<int, std::string> c;
    const std::string sql = "SELECT keycode, " + captionExpression(langCode_) + " FROM buttontext WHERE keytype = ?";
    for (const auto& r : db_.query(sql, {std::string(layout_.keyType)}).rows)
        c[static_cast<int>(r[0].toInt())] = r[1].toText();
    return c;
}

std::string KeyboardStore::buttonName(int code) {
    const std::string sql =
        "SELECT " + captionExpression(langCode_) + " FROM buttontext WHERE keytype = ? AND keycode = ?";
    return db_.scalar(sql, {std::string(layout_.keyType), code}).toText();
}

std::string KeyboardStore::buttonText(int code) { return KeyCaptionText(buttonName(code)); }

std::string KeyboardStore::message(int id) { return GetMessage(db_, langCode_, id); }

bool KeyboardStore::pluKnown(const std::string& number) {
    return !db_.query("SELECT 1 FROM plu WHERE id = ? LIMIT 1", {number}).empty();
}

std::map<int, KeyFace> KeyboardStore::faces() {
    const std::map<int, std::string> names = captions();
    const auto nameOf = [&names](long long code) {
        auto it = names.find(static_cast<int>(code));
        return it == names.end() ? std::string() : it->second;
    };
    std::map<int, KeyFace> faces;
    for (const KeyPos& k : layout_.keys) faces[k.code].caption = KeyCaptionText(nameOf(k.code));

    const auto rows = db_.query(rows::KeyColumns().select() + " ORDER BY keyaddress");
    for (const auto& row : rows.rows) {
        const records::KeyRecord r = rows::KeyFromRow(row);
        // A record the register left blank assigns nothing.
        if (r.function.empty()) continue;
        auto it = faces.find(KeyCodeOf(layout_, r.keyaddress));
        if (it == faces.end()) continue;
        KeyFace& f = it->second;
        if (r.function == "P") {
            const std::string number = PluNumber(r.content, r.content2);
            f.unknownPlu = !pluKnown(number);
            f.caption = PluCaption(number, f.unknownPlu);
            f.tooltip = number;
            if (f.unknownPlu) f.tooltip += "\n" + SubstituteArgs(message(kUnknownPluText), {number});
        } else if (r.function == "F") {
            f.unknownPlu = false;
            f.caption = std::string(kAssignedMark) + "\n" + KeyCaptionText(nameOf(r.content));
            f.tooltip = nameOf(r.content);
        } else {
            f.tooltip = f.caption;
        }
    }
    return faces;
}

namespace {

std::string addressList(const std::vector<int>& addresses) {
    std::string in;
    for (std::size_t i = 0; i < addresses.size(); ++i) in += i ? ",?" : "?";
    return in;
}

db::Params addressParams(const std::vector<int>& addresses) {
    db::Params p;
    for (int a : addresses) p.emplace_back(a);
    return p;
}

} // namespace

KeyAssignment KeyboardStore::load(int code, bool* hasAssignment) {
    const std::vector<int> addresses = KeyAddresses(layout_, code);
    const auto rows = db_.query(rows::KeyColumns().select() + " WHERE keyaddress IN (" + addressList(addresses) +
                                    ") ORDER BY keyaddress",
                                addressParams(addresses));
    KeyAssignment a;
    bool any = false;
    for (const auto& row : rows.rows) {
        const records::KeyRecord r = rows::KeyFromRow(row);
        if (r.function.empty()) continue;
        any = true;
        if (r.function == "P") {
            a.kind = KeyAssignment::Kind::Plu;
            a.plu[static_cast<std::size_t>(LevelOf(layout_, r.keyaddress))] = PluNumber(r.content, r.content2);
        } else {
            a.kind = KeyAssignment::Kind::Function;
            a.function = static_cast<int>(r.content);
        }
    }
    if (hasAssignment) *hasAssignment = any;
    return a;
}

void KeyboardStore::store(int code, const KeyAssignment& a) {
    const std::vector<int> addresses = KeyAddresses(layout_, code);
    db::Transaction t(db_);
    db_.execute("DELETE FROM hotkey WHERE keyaddress IN (" + addressList(addresses) + ")", addressParams(addresses));
    const std::string insert = rows::KeyColumns().insert();
    if (a.kind == KeyAssignment::Kind::Plu) {
        for (std::size_t j = 0; j < addresses.size(); ++j) {
            const std::string number = TrimBlanks(a.plu[j]);
            if (number.empty()) continue;
            const auto words = PluWords(number);
            if (!words) throw db::DbError(-1, "PLU " + number + ": more than 16 digits");
            db_.execute(insert, rows::KeyRow({addresses[j], words->first, words->second, "P"}));
        }
    } else if (a.kind == KeyAssignment::Kind::Function) {
        db_.execute(insert, rows::KeyRow({code, a.function, 0, "F"}));
    }
    t.commit();
}

void KeyboardStore::restore(int code) {
    const std::vector<int> addresses = KeyAddresses(layout_, code);
    db_.execute("DELETE FROM hotkey WHERE keyaddress IN (" + addressList(addresses) + ")", addressParams(addresses));
}

void KeyboardStore::restoreAll() { db_.execute("DELETE FROM hotkey"); }

int KeyboardStore::assignedKeys() {
    int n = 0;
    for (const KeyPos& k : layout_.keys) {
        bool any = false;
        load(k.code, &any);
        n += any;
    }
    return n;
}

} // namespace ecr::keyboard
