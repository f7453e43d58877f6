// What the list forms and entry forms share: the list view ListView1, the
// command buttons on or off together, closing refused while the port is
// open, the delete flow and the export; and the entry form with cmdSave,
// cmdCancel, IsModify, refusals with the focus in the field and the
// add-another question.
#pragma once

#include "Prompter.h"
#include "Transfers.h"
#include "import/Spreadsheet.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStyledItemDelegate>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ecr::ui {

class ProgressPanel;

// How ListView1 draws its cells: the columns that show numbers on the trailing
// side and read left to right, so that "-2.000" stays "-2.000" in a
// right-to-left language.
class ListCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void setNumberColumns(const QList<int>& columns) { numbers_ = columns; }
    bool isNumberColumn(int column) const { return numbers_.contains(column); }
    // Public so tests can see a cell as it is drawn.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    QList<int> numbers_;
};

class ListForm : public QDialog, public TransferHost {
    Q_OBJECT
public:
    ListForm(const char* name, int captionId, QWidget* parent);

    // Enables or disables every command button outside the progress panel,
    // and TreeView1 and ListView1 where present.
    void SetControlsEnabled(bool enabled);
    QTreeWidget* list() const { return list_; }
    // The selected row of ListView1; nullptr when none.
    QTreeWidgetItem* selectedRow() const;
    // The delete flow: without a selected row the message noRowId (0: none); then the
    // confirmation naming the row (No by default); then remove(row) under the
    // error trap; the row leaves the list. True when the row was deleted.
    bool deleteSelectedRow(int noRowId, int confirmId, Prompter::Icon icon,
                           const std::function<void(const QTreeWidgetItem&)>& remove);
    // How a delete confirmation names a row: its first two columns.
    virtual QString recordName(const QTreeWidgetItem& row) const;
    ProgressPanel* progressPanel() const { return panel_; }

    // ListView1's columns that show numbers (see ListCellDelegate).
    void setNumberColumns(const QList<int>& columns);
    // Fits every column to its caption and its contents, the last one taking
    // the room left; done by itself whenever rows are added, changed or
    // removed, and when the list is resized.
    void fitColumns();
    // A column never narrower than width, however short its contents.
    void setColumnMinimum(int column, int width);
    // F5: the list read again, where it stands.
    virtual void refresh() { reloadAfterRead(); }

    // False, after message 111609, while the port is open.
    bool mayClose() { return MayCloseWhileLinked(this); }
    // Closing by any way (cmdExit, Escape, the title bar) asks mayClose().
    void done(int result) override;

    // Shows what a database that replaced the open one holds.
    virtual void followDatabase() { reloadAfterRead(); }

    // TransferHost
    QWidget* hostWidget() override { return this; }
    void setControlsEnabled(bool enabled) override { SetControlsEnabled(enabled); }
    ProgressPanel* transferPanel() override { return panel_; }
    // Log location prefix: the form's name.
    std::string where(const char* procedure) { return Where(*this, procedure); }

protected:
    // ListView1 in report view, one column per caption id.
    QTreeWidget* createList(const std::vector<int>& columnCaptions);
    // Columns from first on never narrower than their captions or minWidth.
    void fitColumnsToCaptions(int first, int minWidth);
    void fitColumnToCaption(int column, int minWidth);
    // fraProgress, hidden.
    ProgressPanel* createProgressPanel();

    // Writes the sheet into a new file, shows it in the spreadsheet program
    // and says 111196. rowCount sets the progress bar.
    void exportSheet(const std::function<sheets::SheetData()>& build, long long rowCount);

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scheduleFit();
    void layoutColumns();
    void bindKeys();

    QTreeWidget* list_ = nullptr;
    ListCellDelegate* cells_ = nullptr;
    ProgressPanel* panel_ = nullptr;
    QList<int> fitted_;         // each column's width for its caption and contents
    QList<int> minimum_;        // each column's least width
    bool fitPending_ = false;
    bool keysBound_ = false;
};

class EntryForm : public QDialog {
    Q_OBJECT
public:
    EntryForm(const char* name, QWidget* parent);
    bool isModify() const { return isModify_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }

protected:
    void setModify(bool modify) { isModify_ = modify; }
    // Called by cmdSave.
    virtual void save() = 0;
    // A failing check: its information message and the focus in the field.
    void refuse(int messageId, QWidget* field);
    void refuseText(const QString& text, QWidget* field);
    // The question whether to add another row.
    bool askAnother(int messageId, Prompter::Icon icon);

private:
    bool isModify_ = false;
    QPushButton* save_;
    QPushButton* cancel_;
};

} // namespace ecr::ui
