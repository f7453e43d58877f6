#include "ListForm.h"

#include "EditorLogic.h"
#include "SheetExport.h"
#include "app/AppState.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "app/GlobalFunc.h"
#include "db/Database.h"
#include "gui/Languages.h"
#include "gui/RegisterLink.h"
#include "gui/Texts.h"
#include "link/LinkText.h"
#include "link/TransferText.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include <cmath>

namespace ecr::editors {

using gui::Prompt;
using gui::Prompter;
using link::Direction;
using link::Outcome;

// ---- captions and controls -------------------------------------------------

QString Caption(int id) { return gui::Text(id); }

QLabel* MakeLabel(QWidget* parent, const char* name, int captionId, bool fieldLabel) {
    auto* l = new QLabel(fieldLabel ? gui::FieldLabel(Caption(captionId)) : Caption(captionId), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QPushButton* MakeButton(QWidget* parent, const char* name, int captionId) {
    return MakeButton(parent, name, Caption(captionId));
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, int captionId) {
    auto* c = new QCheckBox(Caption(captionId), parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

QLineEdit* MakeField(QWidget* parent, const char* name, EntryRule rule) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    ApplyEntryRule(e, rule);
    return e;
}

QString AmountText(double value, int minDecimals) {
    for (int d = minDecimals; d < 6; ++d) {
        const QString t = QString::number(value, 'f', d);
        if (std::fabs(t.toDouble() - value) < 1e-9) return t;
    }
    return QString::number(value, 'f', 6);
}

QString PlainNumber(double value) { return QString::number(value, 'g', 15); }

// ---- messages ---------------------------------------------------------------

void Inform(QWidget* parent, int messageId) { InformText(parent, Caption(messageId)); }

void InformText(QWidget* parent, const QString& text) { Prompt().information(parent, Caption(link::msg::Title), text); }

void ErrorText(QWidget* parent, const QString& text) { Prompt().error(parent, Caption(link::msg::Title), text); }

bool Confirm(QWidget* parent, int messageId, Prompter::Icon icon, bool defaultYes) {
    return Prompt().yesNo(parent, Caption(link::msg::Title), Caption(messageId), defaultYes, icon);
}

void ReportError(QWidget* parent, const std::string& location, long long code, const std::string& text) {
    WriteErrorLog(location, code, text);
    Prompt().error(parent, QStringLiteral("Error"), Caption(link::msg::ErrorOccurred) + "\n" + QString::fromStdString(text));
}

bool Trapped(QWidget* parent, const std::string& location, const std::function<void()>& fn) {
    try {
        fn();
        return true;
    } catch (const db::DbError& e) {
        ReportError(parent, location, e.code(), e.what());
    } catch (const std::exception& e) {
        ReportError(parent, location, -1, e.what());
    }
    return false;
}

db::Database& Db() { return *App().conn; }

// ---- list form ----------------------------------------------------------------

ListForm::ListForm(const char* name, int captionId, QWidget* parent) : QDialog(parent) {
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(Caption(captionId));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
}

ListForm::~ListForm() {
    disconnect(singleState_);
    disconnect(singleDone_);
}

std::string ListForm::where(const char* procedure) const { return objectName().toStdString() + "_" + procedure; }

QTreeWidget* ListForm::createList(std::initializer_list<int> columnCaptions) {
    list_ = new QTreeWidget(this);
    list_->setObjectName("ListView1");
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList headers;
    for (int id : columnCaptions) headers << Caption(id);
    list_->setHeaderLabels(headers);
    list_->header()->setStretchLastSection(false);
    list_->header()->setDefaultSectionSize(90);
    return list_;
}

void ListForm::fitColumnsToCaptions(int first, int minWidth) {
    const QFontMetrics fm(list_->header()->font());
    for (int c = first; c < list_->columnCount(); ++c)
        list_->header()->resizeSection(c, std::max(minWidth, fm.horizontalAdvance(list_->headerItem()->text(c)) + 16));
}

ProgressPanel* ListForm::createProgressPanel() {
    panel_ = new ProgressPanel(this);
    panel_->hide();
    return panel_;
}

QTreeWidgetItem* ListForm::selectedRow() const {
    if (!list_) return nullptr;
    const auto items = list_->selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

std::optional<int> ListForm::nextIdOrRefuse(const std::string& table, int refusalId) {
    std::optional<int> next;
    if (!Trapped(this, where("cmdAdd_Click"), [&] { next = NextId(Db(), table); })) return std::nullopt;
    if (!next) Inform(this, refusalId);
    return next;
}

bool ListForm::deleteSelectedRow(int noRowId, int confirmId, Prompter::Icon icon,
                                 const std::function<void(const QTreeWidgetItem&)>& remove) {
    QTreeWidgetItem* row = selectedRow();
    if (!row) {
        Inform(this, noRowId);
        return false;
    }
    if (!Confirm(this, confirmId, icon)) return false;
    if (!Trapped(this, where("cmdDelete_Click"), [&] { remove(*row); })) return false;
    delete row;
    return true;
}

void ListForm::SetControlsEnabled(bool enabled) {
    for (QPushButton* b : findChildren<QPushButton*>()) {
        if (panel_ && panel_->isAncestorOf(b)) continue;
        b->setEnabled(enabled);
    }
    for (const char* name : {"TreeView1", "ListView1"})
        if (QWidget* w = findChild<QWidget*>(QString::fromLatin1(name))) w->setEnabled(enabled);
}

bool ListForm::mayClose() {
    link::TransferEngine* engine = gui::Engine();
    if (engine && (engine->portOpen() || engine->busy())) {
        Prompt().information(this, Caption(link::msg::PortBusyTitle), Caption(link::msg::PortBusy));
        return false;
    }
    return true;
}

void ListForm::done(int result) {
    if (!mayClose()) return;
    // A paged transfer left paused ends with its form.
    if (panel_ && panel_->isVisible()) {
        if (link::TransferEngine* engine = gui::Engine()) engine->close();
    }
    QDialog::done(result);
}

// ---- single-page transfer -----------------------------------------------------

void ListForm::transferSinglePage(std::string_view kind, Direction d) {
    link::TransferEngine* engine = gui::Engine();
    const link::KindPlan* plan = link::FindKindPlan(kind);
    if (!engine || !plan || engine->busy()) return;
    singleState_ = connect(engine, &link::TransferEngine::stateChanged, this, [this](link::EngineState s) {
        if (s == link::EngineState::Running) SetControlsEnabled(false);
    });
    singleDone_ = connect(engine, &link::TransferEngine::finished, this,
                          [this, d](const link::TransferResult& r) { singleFinished(r, d); });
    bool started = false;
    Trapped(this, where(d == Direction::Read ? "cmdUpload_Click" : "cmdDownload_Click"),
            [&] { started = link::StartKindTransfer(*engine, *plan, d); });
    if (!started) {
        disconnect(singleState_);
        disconnect(singleDone_);
    }
}

void ListForm::singleFinished(const link::TransferResult& r, Direction d) {
    disconnect(singleState_);
    disconnect(singleDone_);
    SetControlsEnabled(true);
    const QString text = QString::fromStdString(link::ResultText(r));
    switch (r.outcome) {
    case Outcome::Done:
    case Outcome::EndOfData:
        InformText(this, text);
        if (d == Direction::Read) reloadAfterRead();
        break;
    case Outcome::PortError:
        // The port's own text, as opening it reports.
        Prompt().error(this, QStringLiteral("Error"), text);
        break;
    case Outcome::Stopped:
        break;
    default:
        ErrorText(this, text);
        break;
    }
}

// ---- export -------------------------------------------------------------------

void ListForm::exportSheet(const std::function<sheets::SheetData()>& build, long long rowCount) {
    if (!panel_) return;
    QProgressBar* bar = panel_->bar();
    const int oldMaximum = bar->maximum();
    const bool wasVisible = panel_->isVisible();
    panel_->label()->setText(Caption(111314));
    for (QPushButton* b : {panel_->stopButton(), panel_->continueButton(), panel_->closeButton()}) b->setEnabled(false);
    panel_->show();
    SetControlsEnabled(false);
    bar->setMinimum(0);
    bar->setMaximum(static_cast<int>(std::max<long long>(rowCount, 1)));
    bar->setValue(0);
    panel_->repaint();

    QString path;
    const bool ok = Trapped(this, where("ExportToExcel"), [&] {
        const sheets::SheetData sheet = build();
        path = NewExportPath(QString::fromStdString(sheet.name));
        sheets::WriteXlsx(path.toStdString(), sheet);
        bar->setValue(bar->maximum());
    });

    panel_->label()->clear();
    bar->setMaximum(oldMaximum);
    panel_->setVisible(wasVisible);
    SetControlsEnabled(true);
    if (!ok) return;
    OpenExport(path);
    InformText(this, Caption(111196) + "\n" + path);
}

// ---- progress panel -------------------------------------------------------------

ProgressPanel::ProgressPanel(QWidget* parent) : QFrame(parent) {
    setObjectName("fraProgress");
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    label_ = new QLabel(this);
    label_->setObjectName("lblProgress");
    bar_ = new QProgressBar(this);
    bar_->setObjectName("ProgressBar1");
    bar_->setTextVisible(false);
    stop_ = MakeButton(this, "cmdStop", 111524);
    continue_ = MakeButton(this, "cmdContinue", 111527);
    close_ = MakeButton(this, "cmdClose", 111525);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(stop_);
    buttons->addWidget(continue_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
}

void ProgressPanel::showRunning() {
    continue_->setEnabled(false);
    stop_->setEnabled(true);
    close_->setEnabled(false);
    show();
}

void ProgressPanel::showPaused() {
    continue_->setEnabled(true);
    stop_->setEnabled(false);
    close_->setEnabled(true);
    show();
}

// ---- paged transfer ---------------------------------------------------------------

PagedTransfer::PagedTransfer(ListForm* form, std::string_view kind, QLineEdit* startBox, QLineEdit* endBox)
    : QObject(form), form_(form), plan_(link::FindKindPlan(kind)), start_(startBox), end_(endBox),
      panel_(form->progressPanel()) {
    Q_ASSERT(plan_ && panel_);
    connect(panel_->stopButton(), &QPushButton::clicked, this, &PagedTransfer::stopClicked);
    connect(panel_->continueButton(), &QPushButton::clicked, this, &PagedTransfer::continueClicked);
    connect(panel_->closeButton(), &QPushButton::clicked, this, &PagedTransfer::closeClicked);
}

int PagedTransfer::pageCount(Direction d) const {
    int keyboard = 2;
    Trapped(form_, form_->where("GetKeyboardType"), [&] { keyboard = GetKeyboardType(Db()); });
    return link::Resolve(*plan_, d, keyboard).pages;
}

void PagedTransfer::upload() {
    start_->setText(QStringLiteral("1"));
    end_->setText(QString::number(pageCount(Direction::Read)));
    readPages();
}

void PagedTransfer::download() {
    start_->setText(QStringLiteral("1"));
    end_->setText(QString::number(pageCount(Direction::Write)));
    writePages();
}

void PagedTransfer::run(Direction d) {
    link::TransferEngine* engine = gui::Engine();
    if (!engine || engine->busy()) return;
    const int pages = pageCount(d);
    const auto box = [](QLineEdit* e) { return static_cast<int>(NumericValue(e->text().toStdString())); };
    const link::PageSpan span = link::ClampPages(box(start_), box(end_), pages);
    start_->setText(QString::number(span.first + 1));
    end_->setText(QString::number(span.last + 1));
    if (!span.ok) {
        Inform(form_, link::msg::EndBeforeStart);
        return;
    }
    panel_->bar()->setRange(span.first, span.last);
    const int question = d == Direction::Read ? link::msg::ConfirmRead : link::msg::ConfirmWrite;
    if (!Confirm(form_, question, Prompter::Icon::Information, false)) return;

    direction_ = d;
    release();
    using E = link::TransferEngine;
    engineConnections_ << connect(engine, &E::stateChanged, this, &PagedTransfer::onState)
                       << connect(engine, &E::pageStarted, this, &PagedTransfer::onPage)
                       << connect(engine, &E::finished, this, &PagedTransfer::onFinished);
    bool started = false;
    Trapped(form_, form_->where(d == Direction::Read ? "ReadPages" : "WritePages"),
            [&] { started = link::StartKindTransfer(*engine, *plan_, d, std::pair{span.first + 1, span.last + 1}); });
    if (!started) release();
}

void PagedTransfer::release() {
    for (const auto& c : engineConnections_) disconnect(c);
    engineConnections_.clear();
}

void PagedTransfer::onState(link::EngineState s) {
    if (s != link::EngineState::Running) return;
    paused_ = false;
    panel_->showRunning();
    form_->SetControlsEnabled(false);
}

void PagedTransfer::onPage(int page, const QString& caption) {
    start_->setText(QString::number(page));
    panel_->label()->setText(caption);
    panel_->bar()->setValue(page - 1);
}

void PagedTransfer::onFinished(const link::TransferResult& r) {
    release();
    link::TransferEngine* engine = gui::Engine();
    const bool pausedNow = engine && engine->state() == link::EngineState::Paused;
    const QString text = QString::fromStdString(link::ResultText(r));
    auto finish = [this] {
        paused_ = false;
        panel_->hide();
        form_->SetControlsEnabled(true);
    };
    switch (r.outcome) {
    case Outcome::Done:
        finish();
        if (panel_->bar()->value() == panel_->bar()->maximum()) InformText(form_, text);
        if (direction_ == Direction::Read) form_->reloadAfterRead();
        break;
    case Outcome::EndOfData:
        finish();
        if (direction_ == Direction::Read) form_->reloadAfterRead();
        break;
    case Outcome::Refused:
        finish();
        InformText(form_, text);
        break;
    case Outcome::Stopped:
        paused_ = true;
        panel_->showPaused();
        break;
    case Outcome::PortError:
        // Opening failed before the first page: back to idle. Reopening
        // between attempts failed: paused on the page, to continue later.
        if (pausedNow) {
            paused_ = true;
            panel_->showPaused();
        } else {
            finish();
        }
        Prompt().error(form_, QStringLiteral("Error"), text);
        break;
    case Outcome::TimedOut:
    case Outcome::Failed:
        paused_ = true;
        panel_->showPaused();
        ErrorText(form_, text);
        break;
    }
}

void PagedTransfer::stopClicked() {
    panel_->showPaused();
    if (link::TransferEngine* engine = gui::Engine()) engine->stop();
}

void PagedTransfer::continueClicked() { run(direction_); }

void PagedTransfer::closeClicked() {
    paused_ = false;
    panel_->hide();
    form_->SetControlsEnabled(true);
    if (link::TransferEngine* engine = gui::Engine()) engine->close();
}

// ---- entry form -------------------------------------------------------------------

EntryForm::EntryForm(const char* name, QWidget* parent) : QDialog(parent) {
    setObjectName(QString::fromLatin1(name));
    save_ = MakeButton(this, "cmdSave", 111009);
    cancel_ = MakeButton(this, "cmdCancel", 111010);
    connect(save_, &QPushButton::clicked, this, [this] { save(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void EntryForm::refuse(int messageId, QWidget* field) {
    Inform(this, messageId);
    if (field) field->setFocus(Qt::OtherFocusReason);
}

bool EntryForm::askAnother(int messageId, Prompter::Icon icon) { return Confirm(this, messageId, icon, true); }

std::optional<int> EntryForm::anotherId(const std::string& location, const std::string& table) {
    if (!askAnother(111111, Prompter::Icon::Information)) {
        accept();
        return std::nullopt;
    }
    std::optional<int> next;
    if (!Trapped(this, location, [&] { next = NextId(Db(), table); })) return std::nullopt;
    if (!next) {
        Inform(this, 111112);
        accept();
    }
    return next;
}

} // namespace ecr::editors
