// What the report forms take from the shared form helpers: captions, command
// buttons, labels, message boxes, the error trap, fonts, digit boxes and the
// export folder. The one place to switch when those helpers move.
#pragma once

#include "editors/EntryRules.h"
#include "editors/ListForm.h"
#include "editors/SheetExport.h"
#include "gui/Languages.h"
#include "gui/Prompter.h"
#include "gui/Texts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ecr::reports::forms {

inline QString Caption(int id) { return editors::Caption(id); }
inline QPushButton* MakeButton(QWidget* parent, const char* name, int captionId) {
    return editors::MakeButton(parent, name, captionId);
}
inline QLabel* MakeLabel(QWidget* parent, const char* name, int captionId) {
    return editors::MakeLabel(parent, name, captionId);
}
// A box that keeps digits only, with its text selected on focus.
inline QLineEdit* MakeDigitsField(QWidget* parent, const char* name, bool enterMovesOn) {
    return editors::MakeField(parent, name, enterMovesOn ? editors::EntryRule::DigitsMoveOn : editors::EntryRule::Digits);
}
// A message titled 111115.
inline void Inform(QWidget* parent, const QString& text) { editors::InformText(parent, text); }
inline void ShowError(QWidget* parent, const QString& text) { editors::ErrorText(parent, text); }
inline bool Trapped(QWidget* parent, const std::string& location, const std::function<void()>& fn) {
    return editors::Trapped(parent, location, fn);
}
inline void ApplyFont(QWidget* form) { gui::ApplyFormFont(form); }
inline QString MenuCaption(const QString& text) { return gui::MenuCaption(text); }
inline QString NewExportPath(const QString& sheetName) { return editors::NewExportPath(sheetName); }
inline void OpenExport(const QString& path) { editors::OpenExport(path); }

} // namespace ecr::reports::forms
