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
#include <QString>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ecr::ui {

class ProgressPanel;

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

    // False, after message 111609, while the port is open.
    bool mayClose() { return MayCloseWhileLinked(this); }
    // Closing by any way (cmdExit, Escape, the title bar) asks mayClose().
    void done(int result) override;

    // Shows what a database that replaced the open one holds.
    virtual void followDatabase() { reloadAfterRead(); }

    // TransferHost
    QWidget* hostWidget() override { return this; }
    void setControlsEnabled(bool enabled) override { SetControlsEnabled(enabled); }
    // Log location prefix: the form's name.
    std::string where(const char* procedure) { return Where(*this, procedure); }

protected:
    // ListView1 in report view, one column per caption id.
    QTreeWidget* createList(const std::vector<int>& columnCaptions);
    // Columns from first on wide enough for their captions, at least minWidth.
    void fitColumnsToCaptions(int first, int minWidth);
    void fitColumnToCaption(int column, int minWidth);
    // fraProgress, hidden.
    ProgressPanel* createProgressPanel();

    // Writes the sheet into a new file, shows it in the spreadsheet program
    // and says 111196. rowCount sets the progress bar.
    void exportSheet(const std::function<sheets::SheetData()>& build, long long rowCount);

private:
    QTreeWidget* list_ = nullptr;
    ProgressPanel* panel_ = nullptr;
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
