// Where list exports go and who shows them. The program writes a new file into
// the user's documents folder and hands it to the desktop's spreadsheet
// program; tests point the folder elsewhere and replace the opener.
#pragma once

#include <QString>

#include <functional>

namespace ecr::ui {

struct ExportSettings {
    QString folder;                              // empty: the documents folder
    std::function<void(const QString&)> open;    // empty: the desktop's program (none on offscreen)
};
ExportSettings& Exports();

// A new file name for the sheet: "<folder>/<sheet> yyyy-MM-dd hh.mm.ss.xlsx",
// numbered when that exists.
QString NewExportPath(const QString& sheetName);
// Shows the written file.
void OpenExport(const QString& path);

} // namespace ecr::ui
