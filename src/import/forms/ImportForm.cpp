#include "ImportForm.h"

#include "app/AppState.h"
#include "app/ErrorLog.h"
#include "app/Messages.h"
#include "ui/Controls.h"
#include "ui/Languages.h"
#include "ui/Prompter.h"
#include "ui/Texts.h"

#include <QBrush>
#include <QColor>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace ecr::import {

namespace {

using ui::Prompt;
using ui::Text;

// Rows written per turn of the event loop: small enough to keep the window
// responsive, large enough that 10,240 rows take a blink.
constexpr int kRowsPerStep = 256;

enum Message {
    kTitle = 111115,
    kErrorTitle = 111236,
    kNoSuchFile = 111127,
    kAskImport = 111130,
    kImporting = 111131,
    kTotalRows = 111132,
    kDone = 111133,
    kFailed = 111134,
    kRow = 120410,
    kAction = 120411,
    kReason = 120412,
    kInsert = 120413,
    kUpdate = 120414,
    kReject = 120415,
    kCounts = 120416,
    kWarning = 120417,
    kSpreadsheets = 120418,
    kAllFiles = 120419,
};

// The instructions: one message a line, with an empty line after the first.
QString instructions() {
    QStringList lines;
    for (int id : {111135, 111136, 111137, 111138, 111139, 111456, 111457, 111140, 111141, 111142, 111143, 111144}) {
        lines << Text(id);
        if (id == 111135) lines << QString();
    }
    return lines.join('\n');
}

QString noteText(const Note& n) {
    return QString::fromStdString(NoteText(n, [](int id) { return Msg(id); }));
}

db::Database& Db() { return *App().conn; }

// Icons and types by the file's name only. The dialog would otherwise open
// every file of the folder to sniff its type, and opening and closing the
// open database file drops the locks SQLite holds on it, so another program
// could then write into it at the same time.
class NameOnlyIcons : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override { return icon(info.isDir() ? Folder : File); }
    QString type(const QFileInfo& info) const override {
        if (info.isDir()) return QFileIconProvider::type(info);
        return QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment();
    }
};

ImportSettings settings() { return ReadImportSettings(Db(), App().langCode); }

} // namespace

// ---- preview ------------------------------------------------------------------

PreviewModel::PreviewModel(QObject* parent) : QAbstractTableModel(parent) {}

void PreviewModel::setPlan(ImportPlan plan) {
    beginResetModel();
    plan_ = std::move(plan);
    endResetModel();
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(plan_.rows.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const PlannedRow& r = plan_.rows[static_cast<std::size_t>(index.row())];
    if (role == Qt::ForegroundRole) {
        if (r.action == Action::Reject) return QBrush(QColor(0xB0, 0x00, 0x20));
        if (!r.warnings.empty()) return QBrush(QColor(0x9A, 0x5B, 0x00));
        return {};
    }
    if (role == Qt::TextAlignmentRole && index.column() == ColRow)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (index.column()) {
    case ColRow: return r.sheetRow;
    case ColAction: return Text(r.action == Action::Insert ? kInsert : r.action == Action::Update ? kUpdate : kReject);
    case ColCode: return QString::fromStdString(r.plu.id);
    case ColName: return QString::fromStdString(r.plu.name);
    case ColReason: {
        if (r.reason) return noteText(*r.reason);
        QStringList warnings;
        for (const Note& w : r.warnings) warnings << Text(kWarning).replace(QLatin1String("%1"), noteText(w));
        return warnings.join(QLatin1String("; "));
    }
    default: return {};
    }
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static constexpr int captions[] = {kRow, kAction, 111307, 111308, kReason};
    return section >= 0 && section < ColumnCount ? Text(captions[section]) : QVariant();
}

// ---- form ---------------------------------------------------------------------

ImportForm::ImportForm(QWidget* parent) : QDialog(parent) {
    setObjectName("frmImport");
    setWindowTitle(Text(111044));
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto* frame = new QGroupBox(Text(111045), this);
    frame->setObjectName("Frame1");
    frame1_ = frame;
    auto* label1 = new QLabel(instructions(), frame);
    label1->setObjectName("Label1");
    label1->setWordWrap(true);
    (new QVBoxLayout(frame))->addWidget(label1);

    QLabel* label2 = ui::MakeLabel(this, "Label2", 111046);
    fileName_ = new QLineEdit(this);
    fileName_->setObjectName("txtFileName");
    openFile_ = ui::MakeButton(this, "cmdOpenFile", 111042);

    model_ = new PreviewModel(this);
    table_ = new QTableView(this);
    table_->setObjectName("tblPreview");
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);
    counts_ = new QLabel(this);
    counts_->setObjectName("lblCounts");

    auto* progress = new QFrame(this);
    progress->setObjectName("fraProgress");
    progress->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    progressLabel_ = new QLabel(progress);
    progressLabel_->setObjectName("lblProgress");
    progressBar_ = new QProgressBar(progress);
    progressBar_->setObjectName("ProgressBar1");
    auto* progressLayout = new QVBoxLayout(progress);
    progressLayout->addWidget(progressLabel_);
    progressLayout->addWidget(progressBar_);
    progress->hide();
    progress_ = progress;

    import_ = ui::MakeButton(this, "cmdImport", 111047);
    exit_ = ui::MakeButton(this, "cmdExit", 111019);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(label2);
    fileRow->addWidget(fileName_, 1);
    fileRow->addWidget(openFile_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(counts_, 1);
    buttons->addWidget(import_);
    buttons->addWidget(exit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(fileRow);
    layout->addWidget(table_, 1);
    layout->addWidget(progress);
    layout->addLayout(buttons);
    resize(900, 720);
    ui::ApplyFormFont(this);

    stepper_ = new QTimer(this);
    stepper_->setInterval(0);
    connect(stepper_, &QTimer::timeout, this, &ImportForm::step);
    connect(openFile_, &QPushButton::clicked, this, &ImportForm::openFileClicked);
    connect(import_, &QPushButton::clicked, this, &ImportForm::importClicked);
    connect(exit_, &QPushButton::clicked, this, &QDialog::reject);
    connect(fileName_, &QLineEdit::returnPressed, this, [this] {
        if (!fileName_->text().trimmed().isEmpty()) preview(fileName_->text());
    });
}

ImportForm::~ImportForm() = default; // an unfinished import rolls back with its writer

void ImportForm::openFileClicked() {
    QFileDialog dialog(this, Text(111042));
    dialog.setObjectName("dlgOpenFile");
    NameOnlyIcons icons;
    dialog.setIconProvider(&icons);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({Text(kSpreadsheets) + " (*.xlsx *.ods *.xls *.csv)", Text(kAllFiles) + " (*)"});
    if (!fileName_->text().trimmed().isEmpty()) dialog.selectFile(fileName_->text().trimmed());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    fileName_->setText(dialog.selectedFiles().first());
    preview(fileName_->text());
}

bool ImportForm::preview(const QString& path) {
    const QString p = path.trimmed();
    previewPath_.clear();
    model_->setPlan({});
    counts_->clear();
    if (!QFileInfo(p).isFile()) {
        Prompt().error(this, Text(kTitle), Text(kNoSuchFile));
        return false;
    }
    try {
        sheet_ = ReadImportFile(p.toStdString(), App().dbPath);
        model_->setPlan(PlanImport(Db(), sheet_, settings()));
    } catch (const ImportRefused& e) {
        if (e.note().messageId == msg::TooManyRows) {
            Prompt().information(this, Text(kTitle), noteText(e.note()));
        } else {
            WriteErrorLog(kImportErrorLocation, 0, NoteText(e.note(), [](int id) { return Msg(id); }));
            Prompt().error(this, Text(kTitle), noteText(e.note()));
        }
        return false;
    } catch (const db::DbError& e) {
        failImport(e.code(), e.what());
        return false;
    }
    previewPath_ = p;
    const ImportPlan& plan = model_->plan();
    counts_->setText(Text(kCounts)
                         .arg(plan.inserts)
                         .arg(plan.updates)
                         .arg(plan.rejects)
                         .arg(plan.warnings));
    table_->resizeColumnsToContents();
    return true;
}

void ImportForm::importClicked() {
    const QString p = fileName_->text().trimmed();
    if (p.isEmpty() || writer_) return;
    if (p != previewPath_ && !preview(p)) return;
    if (!Prompt().yesNo(this, Text(kTitle), Text(kAskImport))) return;
    try {
        writer_ = std::make_unique<ImportWriter>(Db(), sheet_, settings());
    } catch (const ImportRefused& e) {
        Prompt().information(this, Text(kTitle), noteText(e.note()));
        return;
    } catch (const db::DbError& e) {
        failImport(e.code(), e.what());
        return;
    }
    // The plan made inside the transaction is the one written.
    model_->setPlan(writer_->plan());
    const int rows = writer_->total();
    progressLabel_->setText(Text(kImporting) + "(" + Text(kTotalRows) + " " + QString::number(rows) + ")");
    progressBar_->setRange(1, rows + 1); // spreadsheet rows 1 .. the last data row
    progressBar_->setValue(1);
    setWriting(true);
    stepper_->start();
}

void ImportForm::step() {
    if (!writer_) return;
    try {
        const bool more = writer_->step(kRowsPerStep);
        progressBar_->setValue(writer_->done() + 1);
        if (!more) finishImport();
    } catch (const db::DbError& e) {
        failImport(e.code(), e.what());
    } catch (const std::exception& e) {
        failImport(-1, e.what());
    }
}

void ImportForm::finishImport() {
    stepper_->stop();
    writer_->finish();
    writer_.reset();
    setWriting(false);
    Prompt().information(this, Text(kTitle), Text(kDone));
    accept();
}

void ImportForm::failImport(long long code, const std::string& text) {
    stepper_->stop();
    writer_.reset();
    setWriting(false);
    WriteErrorLog(kImportErrorLocation, code, text);
    Prompt().error(this, Text(kErrorTitle), Text(kFailed));
}

void ImportForm::setWriting(bool writing) {
    for (QWidget* w : std::initializer_list<QWidget*>{frame1_, fileName_, openFile_, table_, import_, exit_})
        w->setEnabled(!writing);
    progress_->setVisible(writing);
    if (writing)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void ImportForm::done(int result) {
    if (writer_) return;
    QDialog::done(result);
}

} // namespace ecr::import
