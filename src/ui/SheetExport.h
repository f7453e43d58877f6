// Where list exports go and who shows them. The program writes a new file into
// the user's documents folder and hands it to the desktop's spreadsheet
// program; tests point the folder elsewhere and replace the opener.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace ecr::ui {

struct ExportSettings {
    QString folder;                              // empty: the documents folder
    std::function<void(const QString&)> open;    // empty: the desktop's program (none on offscreen)
    // Whether a program of this computer opens the file; empty: the desktop says.
    std::function<bool(const QString&)> canOpen;
};
ExportSettings& Exports();

// A new file name for the sheet: "<folder>/<sheet> yyyy-MM-dd hh.mm.ss.xlsx",
// numbered when that exists.
QString NewExportPath(const QString& sheetName);
// Shows the written file; false when no program of this computer opens such
// files (nothing is started then).
bool OpenExport(const QString& path);
// Opens the written file and says so: doneText and where the file is, and
// when nothing could open it, that too.
void ShowExportedFile(QWidget* parent, const QString& path, const QString& doneText);

} // namespace ecr::ui
