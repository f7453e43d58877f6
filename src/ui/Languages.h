// The seven interface languages as the login list and the language menu show them.
#pragma once

#include <QString>

class QWidget;

namespace ecr::ui {

struct InterfaceLanguage {
    int code;              // info.lang
    const char* menuEntry; // entry of the language menu
    const char* listText;  // text in the login list
};

inline constexpr InterfaceLanguage kLanguages[] = {
    {1, "mnuSimplified", "简体中文"}, {2, "mnuTraditional", "繁體中文"}, {3, "mnuEnglish", "English"},
    {4, "mnuVietnam", "Vietnamese"},  {5, "mnuFarsi", "Farsi"},            {6, "mnuFrench", "French"},
    {7, "mnuThailand", "Thailand"},
};

inline bool IsLanguageCode(int code) { return code >= 1 && code <= 7; }

// Caption of a language menu entry while the interface speaks currentLang:
// the two Chinese entries are named in Chinese only for a Chinese interface.
QString LanguageMenuCaption(int entryCode, int currentLang);

// Interface font family for a language; empty for language 1 (the design font).
QString InterfaceFontFamily(int langCode);

// Sets the fonts of the form and all its controls for the language; command
// buttons get 10 pt. Language 1 restores the design fonts.
void ApplyFormFont(QWidget* form, int langCode);
// The same for the current interface language.
void ApplyFormFont(QWidget* form);

// Farsi lays the whole interface out right to left.
void ApplyLayoutDirection(int langCode);

// The interface language for Qt's own texts too: the direction as above, the
// standard buttons of message boxes and dialogs (OK, Cancel, Yes, No, Close,
// Save) from the catalogue with their mnemonics, and Qt's translations of its
// other texts (the text boxes' menu, file and print dialogs) where they are
// installed for the language.
void ApplyInterfaceLanguage(int langCode);

// Qt's locale name of a language ("zh_CN", "fa", ...); empty for none.
QString QtLocaleName(int langCode);

} // namespace ecr::ui
