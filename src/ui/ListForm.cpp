#include "ListForm.h"

#include "Controls.h"
#include "DatabaseSession.h"
#include "ErrorTrap.h"
#include "ProgressPanel.h"
#include "RegisterLink.h"
#include "SheetExport.h"
#include "Texts.h"

#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

namespace ecr::ui {

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
    return list_;
}

void ListForm::fitColumnToCaption(int column, int minWidth) {
    const QFontMetrics fm(list_->header()->font());
    list_->header()->resizeSection(column,
                                   std::max(minWidth, fm.horizontalAdvance(list_->headerItem()->text(column)) + 16));
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
    OpenExport(path);
    InformText(this, Text(111196) + "\n" + path);
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
