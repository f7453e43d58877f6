#include "SheetExport.h"

#include "Prompter.h"
#include "Texts.h"
#include "app/GlobalFunc.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace ecr::ui {

namespace {
constexpr int kNoProgram = 120833; // "No program of this computer opens such files; ... saved as:\n%1"
}

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

namespace {

// The desktop's default program for the file's type, as xdg-mime tells it.
// Without xdg-mime nobody can tell: the opener is tried.
bool desktopOpens(const QString& path) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (tool.isEmpty()) return true;
    QProcess query;
    query.start(tool, {QStringLiteral("query"), QStringLiteral("default"),
                       QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name()});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return true;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
#else
    Q_UNUSED(path);
    return true;
#endif
}

} // namespace

bool OpenExport(const QString& path) {
    ExportSettings& s = Exports();
    const bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
    const bool opens = s.canOpen ? s.canOpen(path) : (offscreen || desktopOpens(path));
    if (!opens) return false;
    if (s.open) {
        s.open(path);
        return true;
    }
    if (offscreen) return true;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void ShowExportedFile(QWidget* parent, const QString& path, const QString& doneText) {
    const QString shown = QDir::toNativeSeparators(path);
    if (OpenExport(path))
        InformText(parent, doneText + QStringLiteral("\n") + shown);
    else
        InformText(parent, doneText + QStringLiteral("\n") +
                               QString::fromStdString(SubstituteArgs(Text(kNoProgram).toStdString(),
                                                                     {shown.toStdString()})));
}

} // namespace ecr::ui
