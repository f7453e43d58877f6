#include "Messages.h"

#include "AppState.h"
#include "ErrorLog.h"
#include "db/Database.h"

#include <cstdlib>

namespace ecr {
namespace {

bool blankAfterTrim(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

} // namespace

const char* LanguageColumn(int langCode) {
    switch (langCode) {
    case 1: return "Simplified";
    case 2: return "Traditional";
    case 3: return "English";
    case 4: return "Vietnam";
    case 5: return "Farsi";
    case 6: return "French";
    case 7: return "Thailand";
    default: return nullptr;
    }
}

std::string GetMessage(db::Database& db, int langCode, int& id) {
    try {
        if (db.scalar("SELECT oem FROM info LIMIT 1").toInt() == 1) {
            if (id == 100000)
                id = 99999;
            else if (id == 100001 || id == 110000)
                id = 99998;
        }
        auto rows = db.query("SELECT Simplified, Traditional, English, Vietnam, Farsi, French, Thailand "
                             "FROM msglist WHERE msgid = ?",
                             {id});
        if (rows.empty()) return {};
        const auto& row = rows.rows[0];
        // A null text counts as a single space, and so as missing.
        auto text = [&](int code) -> std::string {
            if (code < 1 || code > 7) return " ";
            const auto& v = row[static_cast<std::size_t>(code - 1)];
            return v.isNull() ? std::string(" ") : v.toText();
        };
        std::string t = text(langCode);
        if (blankAfterTrim(t)) t = text(3);
        if (blankAfterTrim(t)) t = text(1);
        return t;
    } catch (const db::DbError& e) {
        WriteErrorLog("GlobalFunc_GetMessage", e.code(), e.what());
        return {};
    }
}

int LanguageOfLocale(std::string_view locale) {
    auto starts = [&](std::string_view p) { return locale.substr(0, p.size()) == p; };
    if (starts("zh")) {
        // Traditional script: Taiwan, Hong Kong, Macau, or an explicit Hant.
        for (std::string_view t : {"TW", "HK", "MO", "Hant"})
            if (locale.find(t) != std::string_view::npos) return 2;
        return 1;
    }
    if (starts("vi")) return 4;
    if (starts("fa")) return 5;
    if (starts("fr")) return 6;
    if (starts("th")) return 7;
    return 3;
}

int LanguageFromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(name);
        if (v && *v) return LanguageOfLocale(v);
    }
    return 3;
}

std::string Msg(int id) {
    AppState& s = App();
    if (!s.conn) return {};
    return GetMessage(*s.conn, s.langCode, id);
}

} // namespace ecr
