#include "ListForm.h"

#include "Controls.h"
#include "DatabaseSession.h"
#include "ErrorTrap.h"
#include "ProgressPanel.h"
#include "RegisterLink.h"
#include "SheetExport.h"
#include "Texts.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QTreeWidget>

#include <numeric>

namespace ecr::ui {

// ---- cells ----------------------------------------------------------------------

void ListCellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (!numbers_.contains(index.column())) return;
    // The trailing side of the view's direction; the digits and their sign
    // always left to right.
    const bool rtl = option->direction == Qt::RightToLeft;
    option->displayAlignment = Qt::AlignVCenter | Qt::AlignAbsolute | (rtl ? Qt::AlignLeft : Qt::AlignRight);
    option->direction = Qt::LeftToRight;
}

// ---- list form ----------------------------------------------------------------

ListForm::ListForm(const char* name, int captionId, QWidget* parent) : QDialog(parent) {
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(Text(captionId));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    if (DatabaseSession* session = Session())
        connect(session, &DatabaseSession::replaced, this, [this] { followDatabase(); });
}

QTreeWidget* ListForm::createList(const std::vector<int>& columnCaptions) {
    list_ = new QTreeWidget(this);
    list_->setObjectName("ListView1");
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList headers;
    for (int id : columnCaptions) headers << Text(id);
    list_->setHeaderLabels(headers);
    list_->header()->setStretchLastSection(false);
    list_->header()->setDefaultSectionSize(90);
    cells_ = new ListCellDelegate(list_);
    list_->setItemDelegate(cells_);
    // Rows added, changed or removed anywhere (a fill, an entry form) refit the columns.
    QAbstractItemModel* model = list_->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &ListForm::scheduleFit);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &ListForm::scheduleFit);
    connect(model, &QAbstractItemModel::dataChanged, this, &ListForm::scheduleFit);
    connect(model, &QAbstractItemModel::modelReset, this, &ListForm::scheduleFit);
    list_->viewport()->installEventFilter(this);
    return list_;
}

void ListForm::setNumberColumns(const QList<int>& columns) {
    if (!list_) return;
    cells_->setNumberColumns(columns);
    for (int c = 0; c < list_->columnCount(); ++c)
        list_->headerItem()->setTextAlignment(c, Qt::AlignVCenter |
                                                     (columns.contains(c) ? Qt::AlignRight : Qt::AlignLeft));
    scheduleFit();
}

void ListForm::setColumnMinimum(int column, int width) {
    if (column < 0) return;
    if (minimum_.size() <= column) minimum_.resize(column + 1, 0);
    minimum_[column] = width;
    scheduleFit();
}

void ListForm::scheduleFit() {
    if (fitPending_) return;
    fitPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (fitPending_) fitColumns();
    });
}

void ListForm::fitColumns() {
    fitPending_ = false;
    if (!list_) return;
    QHeaderView* header = list_->header();
    const int n = list_->columnCount();
    fitted_.resize(n);
    if (minimum_.size() < n) minimum_.resize(n, 0);
    const QAbstractItemView* view = list_; // the widest cell, as the view measures it
    for (int c = 0; c < n; ++c)
        fitted_[c] = std::max({header->sectionSizeHint(c), view->sizeHintForColumn(c), minimum_[c]});
    layoutColumns();
}

void ListForm::layoutColumns() {
    QHeaderView* header = list_->header();
    int last = -1, total = 0;
    for (int c = 0; c < fitted_.size(); ++c) {
        if (header->isSectionHidden(c)) continue;
        last = c;
        total += fitted_[c];
    }
    // The room the columns leave goes to the last one; too little room
    // scrolls rather than cutting a column short.
    const int room = std::max(0, list_->viewport()->width() - total);
    for (int c = 0; c < fitted_.size(); ++c) header->resizeSection(c, fitted_[c] + (c == last ? room : 0));
}

bool ListForm::eventFilter(QObject* watched, QEvent* event) {
    if (list_ && watched == list_->viewport() && event->type() == QEvent::Resize && !fitted_.isEmpty())
        layoutColumns();
    return QDialog::eventFilter(watched, event);
}

void ListForm::showEvent(QShowEvent* event) {
    if (!keysBound_) bindKeys();
    QDialog::showEvent(event);
}

void ListForm::bindKeys() {
    keysBound_ = true;
    // A key presses its button when the button could be clicked.
    auto bind = [this](const char* name, const QList<QKeySequence>& keys, QWidget* scope,
                       Qt::ShortcutContext context) {
        auto* button = findChild<QPushButton*>(QString::fromLatin1(name));
        if (!button || !scope) return;
        for (const QKeySequence& key : keys) {
            auto* shortcut = new QShortcut(key, scope);
            shortcut->setContext(context);
            connect(shortcut, &QShortcut::activated, button, [button] {
                if (button->isEnabled() && button->isVisible()) button->click();
            });
        }
        button->setToolTip(keys.first().toString(QKeySequence::NativeText));
    };
    // Keys that text boxes use themselves act only in the list.
    bind("cmdModify", {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}, list_, Qt::WidgetShortcut);
    bind("cmdDelete", {QKeySequence(Qt::Key_Delete)}, list_, Qt::WidgetShortcut);
    bind("cmdAdd", {QKeySequence(Qt::Key_Insert)}, this, Qt::WidgetWithChildrenShortcut);
    bind("cmdSearch", {QKeySequence(Qt::CTRL | Qt::Key_F)}, this, Qt::WidgetWithChildrenShortcut);
    if (auto* exit = findChild<QPushButton*>(QStringLiteral("cmdExit")))
        exit->setToolTip(QKeySequence(Qt::Key_Escape).toString(QKeySequence::NativeText));
    if (list_) {
        auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), this);
        f5->setContext(Qt::WidgetWithChildrenShortcut);
        // Not while a transfer holds the list.
        connect(f5, &QShortcut::activated, this, [this] {
            if (list_->isEnabled()) refresh();
        });
    }
}

void ListForm::fitColumnToCaption(int column, int minWidth) {
    const QFontMetrics fm(list_->header()->font());
    setColumnMinimum(column, std::max(minWidth, fm.horizontalAdvance(list_->headerItem()->text(column)) + 16));
}

void ListForm::fitColumnsToCaptions(int first, int minWidth) {
    for (int c = first; c < list_->columnCount(); ++c) fitColumnToCaption(c, minWidth);
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

QString ListForm::recordName(const QTreeWidgetItem& row) const {
    return (row.text(0) + QStringLiteral(" ") + (row.columnCount() > 1 ? row.text(1) : QString())).trimmed();
}

bool ListForm::deleteSelectedRow(int noRowId, int confirmId, Prompter::Icon icon,
                                 const std::function<void(const QTreeWidgetItem&)>& remove) {
    QTreeWidgetItem* row = selectedRow();
    if (!row) {
        if (noRowId) Inform(this, noRowId);
        return false;
    }
    if (!ConfirmDestructive(this, confirmId, icon, recordName(*row))) return false;
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

void ListForm::done(int result) {
    if (!mayClose()) return;
    // A paged transfer left paused ends with its form.
    if (panel_ && panel_->isVisible()) {
        if (link::TransferEngine* engine = Engine()) engine->close();
    }
    QDialog::done(result);
}

// ---- export -------------------------------------------------------------------

void ListForm::exportSheet(const std::function<sheets::SheetData()>& build, long long rowCount) {
    if (!panel_) return;
    QProgressBar* bar = panel_->bar();
    const int oldMaximum = bar->maximum();
    const bool wasVisible = panel_->isVisible();
    panel_->label()->setText(Text(111314));
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
    ShowExportedFile(this, path, Text(111196));
}

// ---- entry form -------------------------------------------------------------------

EntryForm::EntryForm(const char* name, QWidget* parent) : QDialog(parent) {
    setObjectName(QString::fromLatin1(name));
    save_ = MakeButton(this, "cmdSave", 111009);
    cancel_ = MakeButton(this, "cmdCancel", 111010);
    connect(save_, &QPushButton::clicked, this, [this] { save(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void EntryForm::refuse(int messageId, QWidget* field) { refuseText(Text(messageId), field); }

void EntryForm::refuseText(const QString& text, QWidget* field) {
    InformText(this, text);
    FocusField(field);
}

bool EntryForm::askAnother(int messageId, Prompter::Icon icon) { return Confirm(this, messageId, icon, true); }

} // namespace ecr::ui
