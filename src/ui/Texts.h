// Catalogue texts as Qt strings.
#pragma once

#include <QString>

namespace ecr::ui {

// Message text in the current interface language.
QString Text(int id);
// Message text in a given language (the login form previews the chosen one).
QString TextIn(int langCode, int id);

// A menu caption: catalogue text whose placeholders (%1..%9, filled in where
// the same text titles a report) are left out.
QString MenuCaption(const QString& text);

// A field label: the text with a colon behind it unless it has one.
QString FieldLabel(const QString& text);

// A caption shown as it stands on a widget that reads '&' as a shortcut
// mark (tabs, buttons, check boxes): "Tax & Rounding" keeps its '&'.
QString LiteralCaption(const QString& text);

} // namespace ecr::ui
