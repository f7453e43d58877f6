#include "DbFileForm.h"

#include "FileRow.h"
#include "FormText.h"
#include "app/AppState.h"
#include "app/ErrorLog.h"
#include "db/Maintenance.h"
#include "ui/Controls.h"
#include "ui/DatabaseSession.h"
#include "ui/ErrorTrap.h"
#include "ui/Languages.h"
#include "ui/Log.h"
#include "ui/Prompter.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ecr::maintenance {

using namespace ecr::ui;

namespace {
constexpr int kTitle = 111115;
constexpr int kBackupCaption = 110052, kSelectCaption = 110053;
constexpr int kBrowse = 111042, kSave = 111009, kCancel = 111010;
constexpr int kNoName = 111267, kBackupDone = 111268, kNotADatabase = 111464;
constexpr int kAskInit = 111596, kInitDone = 111597;
constexpr int kDatabaseFiles = 120710, kReplaceTarget = 120711;
constexpr int kAllFiles = 120419;
} // namespace

QString InUseTitle(int langCode) { return langCode == 1 ? QStringLiteral("错误") : QStringLiteral("Error"); }
QString InUseText(int langCode) {
    return langCode == 1 ? QStringLiteral("数据库备份失败 ! 文件正在使用中! 请选择其他文件名!")
                         : QStringLiteral("Database File Backup Failed ! File Are Use! Please Try Again!");
}

DbFileForm::DbFileForm(Mode mode, QWidget* parent) : QDialog(parent), mode_(mode) {
    setObjectName(mode == Mode::Backup ? "frmBackupDb" : "frmSelectDb");
    setWindowTitle(Text(mode == Mode::Backup ? kBackupCaption : kSelectCaption));
    const FileRow file = MakeFileRow(this);
    fileName_ = file.fileName;
    browse_ = file.browse;
    save_ = MakeButton(this, "cmdSave", kSave);
    cancel_ = MakeButton(this, "cmdCancel", kCancel);

    auto* buttons = TrailingButtons({save_, cancel_});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(file.layout);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(browse_, &QPushButton::clicked, this, &DbFileForm::browse);
    connect(save_, &QPushButton::clicked, this, &DbFileForm::save);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    ApplyFormFont(this);
}

void DbFileForm::browse() {
    QFileDialog dialog(this, Text(kBrowse));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters({Text(kDatabaseFiles) + " (*.db *.sqlite *.sqlite3 *.mdb)", Text(kAllFiles) + " (*)"});
    if (mode_ == Mode::Backup) {
        dialog.setObjectName("dlgSaveFile");
        dialog.setAcceptMode(QFileDialog::AcceptSave); // asks before replacing a file
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setObjectName("dlgOpenFile");
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::ReadOnly);
    }
    if (!fileName_->text().trimmed().isEmpty()) dialog.selectFile(fileName_->text().trimmed());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    if (takeChosenFile(dialog.selectedFiles().first()) && mode_ == Mode::Backup)
        confirmedTarget_ = fileName_->text();
}

bool DbFileForm::takeChosenFile(const QString& path) {
    if (mode_ == Mode::Backup && db::IsDatabaseFile(path.toStdString(), App().dbPath)) {
        Prompt().show(this, Prompter::Icon::Exclamation, InUseTitle(App().langCode), InUseText(App().langCode));
        return false;
    }
    fileName_->setText(path);
    return true;
}

bool DbFileForm::save() {
    const QString path = fileName_->text().trimmed();
    if (path.isEmpty()) {
        Prompt().information(this, Text(kTitle), Text(kNoName));
        fileName_->setFocus();
        return false;
    }
    const bool done = mode_ == Mode::Backup ? backup(path) : select(path);
    if (done) accept();
    return done;
}

bool DbFileForm::backup(const QString& path) {
    // A typed name is checked as a chosen one: a copy over the open database
    // or its journals would destroy it.
    if (db::IsDatabaseFile(path.toStdString(), App().dbPath)) {
        Prompt().show(this, Prompter::Icon::Exclamation, InUseTitle(App().langCode), InUseText(App().langCode));
        return false;
    }
    if (QFileInfo::exists(path) && path != confirmedTarget_ &&
        !Prompt().yesNo(this, Text(kTitle), TextWith(kReplaceTarget, {path}), false, Prompter::Icon::Exclamation))
        return false;
    const bool ok = Trapped(this, "frmBackupDb_cmdSave_Click", [&] {
        if (DatabaseSession* s = Session())
            s->backup(path.toStdString());
        else
            db::BackupDatabase(Db(), path.toStdString());
    });
    if (!ok) return false;
    qCDebug(lcGui) << "database backed up to" << path;
    Prompt().information(this, Text(kTitle), Text(kBackupDone));
    return true;
}

bool DbFileForm::select(const QString& path) {
    const std::string file = path.toStdString();
    const char* where = "frmSelectDb_cmdSave_Click";
    std::string why;
    if (!QFileInfo(path).isFile()) {
        why = "no such file: " + file;
    } else {
        try {
            const auto missing = db::MissingRequiredTables(file);
            for (const std::string& t : missing) why += (why.empty() ? "tables missing: " : ", ") + t;
        } catch (const db::DbError& e) {
            why = e.what();
        }
    }
    DatabaseSession* session = Session();
    if (why.empty() && !session) why = "no database session";
    if (why.empty()) {
        try {
            QString refused;
            if (!session->replace(file, &refused)) why = refused.toStdString();
        } catch (const std::exception& e) {
            why = e.what();
        }
    }
    if (!why.empty()) {
        WriteErrorLog(where, -1, why + " (" + file + ")");
        Prompt().error(this, Text(kTitle), Text(kNotADatabase));
        return false;
    }
    return true;
}

bool InitialiseDataAsked(QWidget* parent) {
    if (!Prompt().yesNo(parent, Text(kTitle), Text(kAskInit), false, Prompter::Icon::Information)) return false;
    const bool ok = Trapped(parent, "mnuInitData_Click", [] {
        if (DatabaseSession* s = Session())
            s->initialiseData();
        else
            db::InitialiseData(Db());
    });
    if (!ok) return false;
    Prompt().information(parent, Text(kTitle), Text(kInitDone));
    return true;
}

} // namespace ecr::maintenance
