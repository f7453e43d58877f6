#include "SheetExport.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QUrl>

namespace ecr::ui {

ExportSettings& Exports() {
    static ExportSettings s;
    return s;
}

QString NewExportPath(const QString& sheetName) {
    QString folder = Exports().folder;
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    QDir().mkpath(folder);
    const QString stem = sheetName + QDateTime::currentDateTime().toString(QStringLiteral(" yyyy-MM-dd hh.mm.ss"));
    QString path = QDir(folder).filePath(stem + QStringLiteral(".xlsx"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(stem + QStringLiteral(" (%1).xlsx").arg(n));
    return path;
}

void OpenExport(const QString& path) {
    if (Exports().open) {
        Exports().open(path);
        return;
    }
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace ecr::ui
