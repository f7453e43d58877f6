// Catalogue texts as Qt strings.
#pragma once

#include <QString>

namespace ecr::gui {

// Message text in the current interface language.
QString Text(int id);
// Message text in a given language (the login form previews the chosen one).
QString TextIn(int langCode, int id);

// A field label: the text with a colon behind it unless it has one.
QString FieldLabel(const QString& text);

} // namespace ecr::gui
