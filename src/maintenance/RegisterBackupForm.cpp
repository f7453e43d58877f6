#include "RegisterBackupForm.h"

#include "DbFileForm.h"
#include "FileRow.h"
#include "FormText.h"
#include "app/AppState.h"
#include "db/Maintenance.h"
#include "link/LinkMessage.h"
#include "link/RegisterCopy.h"
#include "link/TransferText.h"
#include "ui/Controls.h"
#include "ui/ErrorTrap.h"
#include "ui/Languages.h"
#include "ui/Log.h"
#include "ui/ProgressPanel.h"
#include "ui/Prompter.h"
#include "ui/RegisterLink.h"
#include "ui/Transfers.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace ecr::maintenance {

using namespace ecr::ui;
using link::Direction;
using link::Outcome;
namespace msg = ecr::link::msg;

namespace {
constexpr int kBrowse = 111042, kExit = 111019, kNoName = 111267;
constexpr int kSaveCaption = 120720, kRestoreCaption = 120721, kFilter = 120722;
constexpr int kSaveHint = 120723, kRestoreHint = 120724, kSaveButton = 120725, kRestoreButton = 120726;
constexpr int kVerify = 120727, kReading = 120728, kWriting = 120729, kChecking = 120730;
constexpr int kSaved = 120731, kWritten = 120732, kVerified = 120733, kMismatch = 120734;
constexpr int kRefused = 120735, kOtherRegister = 120736, kModelLine = 120737, kKeyboardLine = 120738;
constexpr int kVersionLine = 120739, kSummary = 120740, kAskWrite = 120741, kPartlyWritten = 120742;
constexpr int kNothingSaved = 120743, kReplaceTarget = 120711;

QString withSuffix(const QString& path) {
    const QString suffix = QString::fromLatin1(rows::kRegisterBackupSuffix);
    return QFileInfo(path).suffix().isEmpty() ? path + suffix : path;
}

QString summary(const rows::RegisterBackup& b) {
    const rows::RegisterIdentity& id = b.identity;
    return TextWith(kSummary, {QString::fromStdString(id.model), QString::number(id.registerVersion),
                               QString::number(id.keyboard), QString::fromStdString(id.date),
                               QString::fromStdString(id.programVersion), QString::number(b.pages.size())});
}
} // namespace

RegisterBackupForm::RegisterBackupForm(Mode mode, QWidget* parent) : QDialog(parent), mode_(mode) {
    const bool save = mode == Mode::Save;
    setObjectName(save ? "frmDataBackup" : "frmDataRestore");
    setWindowTitle(Text(save ? kSaveCaption : kRestoreCaption));
    auto* hint = MakeLabel(this, "Label2", save ? kSaveHint : kRestoreHint, false);
    hint->setWordWrap(true);
    const FileRow file = MakeFileRow(this);
    fileName_ = file.fileName;
    browse_ = file.browse;
    info_ = new QLabel(this);
    info_->setObjectName("lblInfo");
    info_->setWordWrap(true);
    if (!save) verify_ = MakeCheckBox(this, "chkVerify", kVerify);
    panel_ = new ProgressPanel(this);
    panel_->hide();
    start_ = MakeButton(this, "cmdStart", save ? kSaveButton : kRestoreButton);
    exit_ = MakeButton(this, "cmdExit", kExit);

    auto* buttons = TrailingButtons({start_, exit_});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(file.layout);
    layout->addWidget(info_);
    if (verify_) layout->addWidget(verify_);
    layout->addWidget(panel_);
    layout->addStretch(1);
    layout->addLayout(buttons);
    // The form grows when the progress panel shows rather than squeezing it.
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(browse_, &QPushButton::clicked, this, &RegisterBackupForm::browse);
    connect(start_, &QPushButton::clicked, this, &RegisterBackupForm::start);
    connect(exit_, &QPushButton::clicked, this, &RegisterBackupForm::reject);
    if (mode == Mode::Restore)
        connect(fileName_, &QLineEdit::returnPressed, this, [this] {
            if (!fileName_->text().trimmed().isEmpty()) inspect(fileName_->text().trimmed());
        });
    connect(panel_->stopButton(), &QPushButton::clicked, this, &RegisterBackupForm::stopClicked);
    connect(panel_->continueButton(), &QPushButton::clicked, this, &RegisterBackupForm::continueClicked);
    connect(panel_->closeButton(), &QPushButton::clicked, this, &RegisterBackupForm::closeClicked);
    ApplyFormFont(this);
}

RegisterBackupForm::~RegisterBackupForm() {
    // The run lets go of the engine before the pages it moves go away.
    copy_.reset();
}

bool RegisterBackupForm::running() const { return copy_ && copy_->running(); }
bool RegisterBackupForm::paused() const { return copy_ && copy_->paused(); }

void RegisterBackupForm::browse() {
    QFileDialog dialog(this, Text(kBrowse));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters({Text(kFilter) + " (*" + QString::fromLatin1(rows::kRegisterBackupSuffix) + ")"});
    if (mode_ == Mode::Save) {
        dialog.setObjectName("dlgSaveFile");
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QString::fromLatin1(rows::kRegisterBackupSuffix).mid(1));
        dialog.setOption(QFileDialog::DontConfirmOverwrite); // asked once, at the start
    } else {
        dialog.setObjectName("dlgOpenFile");
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::ReadOnly);
    }
    if (!fileName_->text().trimmed().isEmpty()) dialog.selectFile(fileName_->text().trimmed());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    fileName_->setText(dialog.selectedFiles().first());
    if (mode_ == Mode::Restore) inspect(fileName_->text());
}

bool RegisterBackupForm::inspect(const QString& path) {
    info_->clear();
    backup_ = {};
    const std::string why = rows::ReadRegisterBackup(path.toStdString(), backup_);
    if (!why.empty()) {
        backup_ = {};
        Prompt().error(this, Text(msg::Title), TextWith(kRefused, {path, QString::fromStdString(why)}));
        return false;
    }
    info_->setText(summary(backup_));
    growToFit();
    return true;
}

bool RegisterBackupForm::start() {
    if (copy_) return false;
    QString path = fileName_->text().trimmed();
    if (path.isEmpty()) {
        Prompt().information(this, Text(msg::Title), Text(kNoName));
        fileName_->setFocus();
        return false;
    }
    link::TransferEngine* engine = Engine();
    if (mode_ == Mode::Save) {
        path = withSuffix(path);
        fileName_->setText(path);
        if (db::IsDatabaseFile(path.toStdString(), App().dbPath)) {
            Prompt().show(this, Prompter::Icon::Exclamation, InUseTitle(App().langCode), InUseText(App().langCode));
            return false;
        }
        if (QFileInfo::exists(path) &&
            !Prompt().yesNo(this, Text(msg::Title), TextWith(kReplaceTarget, {path}), false, Prompter::Icon::Exclamation))
            return false;
        if (!engine || engine->busy() || engine->state() != link::EngineState::Idle) {
            Prompt().information(this, Text(msg::PortBusyTitle), Text(msg::PortBusy));
            return false;
        }
        backup_ = {};
        if (!Trapped(this, "frmDataBackup_cmdStart_Click",
                     [&] { backup_.identity = rows::CurrentRegister(Db(), App()); }))
            return false;
        path_ = path;
        io_ = std::make_unique<rows::BackupPageIO>(backup_, rows::BackupPageIO::Mode::Collect);
        return beginRun(Direction::Read, Phase::Reading);
    }

    // Restore: the whole file is read and checked before the port opens.
    if (!inspect(path)) return false;
    rows::RegisterIdentity here;
    if (!Trapped(this, "frmDataRestore_cmdStart_Click", [&] { here = rows::CurrentRegister(Db(), App()); }))
        return false;
    const auto differences = rows::Differences(backup_.identity, here);
    if (!differences.empty()) {
        QStringList lines;
        for (const auto& d : differences) {
            const int id = d.field == rows::IdentityDifference::Field::Model      ? kModelLine
                           : d.field == rows::IdentityDifference::Field::Keyboard ? kKeyboardLine
                                                                                   : kVersionLine;
            lines << TextWith(id, {QString::fromStdString(d.backup), QString::fromStdString(d.here)});
        }
        if (!Prompt().yesNo(this, Text(msg::Title), TextWith(kOtherRegister, {lines.join("\n")}), false,
                            Prompter::Icon::Exclamation))
            return false;
    }
    if (!Prompt().yesNo(this, Text(msg::Title),
                        TextWith(kAskWrite, {QString::number(backup_.pages.size())}), false,
                        Prompter::Icon::Exclamation))
        return false;
    if (!engine || engine->busy() || engine->state() != link::EngineState::Idle) {
        Prompt().information(this, Text(msg::PortBusyTitle), Text(msg::PortBusy));
        return false;
    }
    path_ = path;
    io_ = std::make_unique<rows::BackupPageIO>(backup_, rows::BackupPageIO::Mode::Write);
    return beginRun(Direction::Write, Phase::Writing);
}

bool RegisterBackupForm::beginRun(Direction d, Phase phase) {
    link::TransferEngine* engine = Engine();
    if (!copy_) {
        copy_ = std::make_unique<link::RegisterCopy>(*engine, *io_);
        connect(copy_.get(), &link::RegisterCopy::pageStarted, this, &RegisterBackupForm::onPage);
        connect(copy_.get(), &link::RegisterCopy::finished, this, &RegisterBackupForm::onFinished);
    }
    phase_ = phase;
    setControlsEnabled(false);
    const int total = static_cast<int>(link::RegisterCopy::Addresses(backup_.identity.keyboard).size());
    panel_->bar()->setRange(0, total);
    panel_->bar()->setValue(0);
    panel_->label()->clear();
    panel_->showRunning();
    growToFit();
    qCDebug(lcGui) << objectName() << (d == Direction::Read ? "reads" : "writes") << total << "pages" << path_;
    if (copy_->start(d, backup_.identity.keyboard)) return true;
    finishRun();
    Prompt().information(this, Text(msg::PortBusyTitle), Text(msg::PortBusy));
    return false;
}

void RegisterBackupForm::growToFit() {
    const QSize wanted = sizeHint().expandedTo(minimumSizeHint());
    if (height() < wanted.height() || width() < wanted.width()) resize(size().expandedTo(wanted));
}

void RegisterBackupForm::onPage(int page, int total, const link::KindPlan* plan) {
    const int caption = phase_ == Phase::Reading ? kReading : phase_ == Phase::Writing ? kWriting : kChecking;
    panel_->bar()->setRange(0, total);
    panel_->bar()->setValue(page - 1);
    panel_->label()->setText(TextWith(caption, {QString::number(page), QString::number(total),
                                                QString::fromStdString(link::KindCaption(plan->base))}));
}

void RegisterBackupForm::onFinished(const link::TransferResult& r) {
    if (r.outcome != Outcome::Done) {
        // Paused on the page in hand: Continue takes it up again, Close gives up.
        panel_->showPaused();
        const QString text = QString::fromStdString(link::ResultText(r));
        if (!text.isEmpty() && r.outcome != Outcome::Stopped) Prompt().error(this, Text(msg::Title), text);
        return;
    }
    const int total = copy_->totalPages();
    panel_->bar()->setValue(total);
    switch (phase_) {
    case Phase::Reading: {
        finishRun();
        const bool ok = Trapped(this, "frmDataBackup_cmdStart_Click",
                                [&] { rows::WriteRegisterBackup(path_.toStdString(), backup_); });
        if (ok)
            Prompt().information(this, Text(msg::Title),
                                 TextWith(kSaved, {QString::number(backup_.pages.size()), path_}));
        return;
    }
    case Phase::Writing:
        if (verify_ && verify_->isChecked()) {
            io_->setMode(rows::BackupPageIO::Mode::Verify);
            phase_ = Phase::Verifying;
            panel_->showRunning();
            if (!copy_->start(Direction::Read, backup_.identity.keyboard)) {
                finishRun();
                Prompt().information(this, Text(msg::PortBusyTitle), Text(msg::PortBusy));
            }
            return;
        }
        finishRun();
        Prompt().information(this, Text(msg::Title), TextWith(kWritten, {QString::number(total)}));
        return;
    case Phase::Verifying: {
        const std::vector<int> bad = io_->mismatches();
        finishRun();
        if (bad.empty()) {
            Prompt().information(this, Text(msg::Title), TextWith(kVerified, {QString::number(total)}));
        } else {
            QStringList list;
            for (int a : bad) list << QString::number(a);
            Prompt().error(this, Text(msg::Title), TextWith(kMismatch, {QString::number(bad.size()), list.join(", ")}));
        }
        return;
    }
    case Phase::Idle: finishRun(); return;
    }
}

void RegisterBackupForm::stopClicked() {
    if (copy_) copy_->stop();
}

void RegisterBackupForm::continueClicked() {
    if (!copy_ || !copy_->paused()) return;
    panel_->showRunning();
    if (!copy_->resume()) panel_->showPaused();
}

void RegisterBackupForm::closeClicked() {
    if (!copy_ || copy_->running()) return;
    const Phase was = phase_;
    finishRun();
    if (was == Phase::Reading) Prompt().information(this, Text(msg::Title), Text(kNothingSaved));
    if (was == Phase::Writing) Prompt().information(this, Text(msg::Title), Text(kPartlyWritten));
}

void RegisterBackupForm::finishRun() {
    // The run may be the sender of the signal in hand: it goes once that returns,
    // and the pages it moved with it.
    if (copy_) {
        copy_->close();
        link::RegisterCopy* copy = copy_.release();
        rows::BackupPageIO* io = io_.release();
        connect(copy, &QObject::destroyed, copy, [io] { delete io; });
        copy->deleteLater();
    }
    io_.reset();
    phase_ = Phase::Idle;
    panel_->hide();
    setControlsEnabled(true);
}

void RegisterBackupForm::setControlsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{fileName_, browse_, start_, exit_}) w->setEnabled(enabled);
    if (verify_) verify_->setEnabled(enabled);
}

// Closing waits while the port is open; a paused run is given up first.
void RegisterBackupForm::reject() {
    if (!MayCloseWhileLinked(this)) return;
    if (running()) {
        Prompt().information(this, Text(msg::PortBusyTitle), Text(msg::PortBusy));
        return;
    }
    if (paused()) closeClicked();
    QDialog::reject();
}

} // namespace ecr::maintenance
