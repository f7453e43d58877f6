// What the report forms take from the shared form helpers: captions, command
// buttons, labels, message boxes, the error trap, fonts, digit boxes and the
// export folder. The one place to switch when those helpers move.
#pragma once

#include "ui/Controls.h"
#include "ui/EntryRules.h"
#include "ui/ErrorTrap.h"
#include "ui/Languages.h"
#include "ui/Prompter.h"
#include "ui/SheetExport.h"
#include "ui/Texts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ecr::reports::forms {

inline QString Caption(int id) { return ui::Text(id); }
inline QPushButton* MakeButton(QWidget* parent, const char* name, int captionId) {
    return ui::MakeButton(parent, name, captionId);
}
inline QLabel* MakeLabel(QWidget* parent, const char* name, int captionId) {
    return ui::MakeLabel(parent, name, captionId);
}
// A box that keeps digits only, with its text selected on focus.
inline QLineEdit* MakeDigitsField(QWidget* parent, const char* name, bool enterMovesOn) {
    return ui::MakeField(parent, name, enterMovesOn ? ui::EntryRule::DigitsMoveOn : ui::EntryRule::Digits);
}
// A message titled 111115.
inline void Inform(QWidget* parent, const QString& text) { ui::InformText(parent, text); }
inline void ShowError(QWidget* parent, const QString& text) { ui::ErrorText(parent, text); }
inline bool Trapped(QWidget* parent, const std::string& location, const std::function<void()>& fn) {
    return ui::Trapped(parent, location, fn);
}
inline void ApplyFont(QWidget* form) { ui::ApplyFormFont(form); }
inline QString MenuCaption(const QString& text) { return ui::MenuCaption(text); }
inline QString NewExportPath(const QString& sheetName) { return ui::NewExportPath(sheetName); }
inline void ShowExportedFile(QWidget* parent, const QString& path, const QString& doneText) {
    ui::ShowExportedFile(parent, path, doneText);
}

} // namespace ecr::reports::forms
