// The register's character set. Text fields on register pages are stored in a
// legacy code page (CP936/GBK by default); the PC side is UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ecr {

inline constexpr const char* kDefaultCodePage = "CP936";

// A register code page the program offers, and the interface language whose
// registers use it (1..7; 0: several).
struct CodePageChoice {
    const char* name;    // iconv name
    const char* caption; // as lists show it
    int langCode;
};
// The code pages the seven interface languages need, the default first:
// CP936 (GBK) for Simplified Chinese, BIG5, CP1252 (English, French),
// CP1258 (Vietnamese), CP1256 (Farsi), CP874 (Thai).
const std::vector<CodePageChoice>& InterfaceCodePages();

// True when iconv converts between UTF-8 and the code page.
bool CodePageKnown(const std::string& name);

// Selects the code page used by BytesToText/TextToBytes. Returns false (and
// keeps the previous one) when iconv does not know the name.
bool SetRegisterCodePage(const std::string& name);
const std::string& RegisterCodePage();

// Decodes register bytes to UTF-8. Bytes that are not valid in the code page
// (including a double-byte character cut at the end) are dropped.
std::string DecodeRegisterText(std::string_view bytes);

// Encodes UTF-8 to the code page. Characters the code page lacks become '?'.
std::string EncodeRegisterText(std::string_view utf8);

// Encodes as many whole characters as fit into maxBytes.
std::string EncodeRegisterTextFit(std::string_view utf8, std::size_t maxBytes);

// Byte length of the text in the code page (the register's field widths).
std::size_t RegisterTextLength(std::string_view utf8);

// The first character of the text that the code page cannot encode (as
// UTF-8); empty when every character can.
std::string UnencodableCharacter(std::string_view utf8);

} // namespace ecr
