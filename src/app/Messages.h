// Message catalogue look-up: every caption and message is a number resolved in
// the current interface language.
#pragma once

#include <string>
#include <string_view>

namespace ecr {
namespace db {
class Database;
}

// Column of msglist for a language code 1..7; nullptr for other codes.
const char* LanguageColumn(int langCode);

// Text of the message in the language, falling back to English and then
// Simplified Chinese when missing or blank. With info.oem = 1 the ids 100000,
// 100001 and 110000 are replaced (and the replacement written back into id).
// Database errors are logged and give "".
std::string GetMessage(db::Database& db, int langCode, int& id);

// The same in the program's current language on its open database.
std::string Msg(int id);

// Interface language of a locale name ("fr_FR.UTF-8", "zh_TW", "C"): the
// seven languages by their language and region, English for the rest.
int LanguageOfLocale(std::string_view locale);
// The language of this process's locale (LC_ALL, then LC_MESSAGES, then LANG).
int LanguageFromEnvironment();

} // namespace ecr
