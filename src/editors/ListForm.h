// What the list forms and entry forms of the editors share: captions from
// catalogue ids, the list view, the row actions' messages, closing refused
// while the port is open, the single-page and paged transfers with the
// progress panel, and the spreadsheet export.
//
// A new editor is a ListForm subclass that creates its controls with the
// helpers below (each carrying its catalogue caption and object name), fills
// ListView1, and for its transfers calls transferSinglePage(kind, direction)
// or adds a PagedTransfer for its kind; its entry form is an EntryForm
// subclass with fields made by field() and a save().
#pragma once

#include "EntryRules.h"
#include "gui/Prompter.h"
#include "import/Spreadsheet.h"
#include "link/TransferEngine.h"
#include "link/TransferPlans.h"

#include <QDialog>
#include <QFrame>
#include <QString>

#include <functional>
#include <optional>
#include <initializer_list>
#include <string_view>

namespace ecr::db {
class Database;
}

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ecr::editors {

// Catalogue text of the id in the interface language.
QString Caption(int id);
// A label whose text is the caption of id; field labels get a colon.
QLabel* MakeLabel(QWidget* parent, const char* name, int captionId, bool fieldLabel = true);
// A command button; Enter in a text box never presses it.
QPushButton* MakeButton(QWidget* parent, const char* name, int captionId);
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption);
QCheckBox* MakeCheckBox(QWidget* parent, const char* name, int captionId);
QLineEdit* MakeField(QWidget* parent, const char* name, EntryRule rule);

// Amount as the lists show it: at least minDecimals decimals, more when the
// stored value has them (so a value copied from the list into an entry form
// and saved again loses nothing).
QString AmountText(double value, int minDecimals);
// A stored number without trailing zeros: 13 as "13", 9.5 as "9.5".
QString PlainNumber(double value);

// Message boxes of the editors, titled with message 111115.
void Inform(QWidget* parent, int messageId);
void InformText(QWidget* parent, const QString& text);
void ErrorText(QWidget* parent, const QString& text);
bool Confirm(QWidget* parent, int messageId, gui::Prompter::Icon icon, bool defaultYes = true);
// A database or file error inside a handler: logged under location and shown
// as message 111465 with the error text, titled "Error".
void ReportError(QWidget* parent, const std::string& location, long long code, const std::string& text);
// Runs fn; a database or spreadsheet error is reported as above. False when
// fn threw.
bool Trapped(QWidget* parent, const std::string& location, const std::function<void()>& fn);

class ProgressPanel;

// The list form: ListView1, the command buttons, SetControlsEnabled, closing
// refused while the port is open, and the transfers.
class ListForm : public QDialog {
    Q_OBJECT
public:
    ListForm(const char* name, int captionId, QWidget* parent);
    ~ListForm() override;

    // Enables or disables every command button outside the progress panel,
    // and TreeView1 and ListView1 where present.
    void SetControlsEnabled(bool enabled);
    QTreeWidget* list() const { return list_; }
    // The selected row of ListView1; nullptr when none.
    QTreeWidgetItem* selectedRow() const;
    // The delete flow: without a selected row the message noRowId; then the
    // confirmation; then remove(row) under the error trap; the row leaves the
    // list. True when the row was deleted.
    // The next free id of a numbered table (up to 99), or the refusal message.
    std::optional<int> nextIdOrRefuse(const std::string& table, int refusalId);
    bool deleteSelectedRow(int noRowId, int confirmId, gui::Prompter::Icon icon,
                           const std::function<void(const QTreeWidgetItem&)>& remove);
    ProgressPanel* progressPanel() const { return panel_; }

    // False, after message 111609, while the port is open.
    bool mayClose();
    // Closing by any way (cmdExit, Escape, the title bar) asks mayClose().
    void done(int result) override;

    // Reloads what the form shows after a completed read.
    virtual void reloadAfterRead() {}
    // Log location prefix: the form's name.
    std::string where(const char* procedure) const;

protected:
    // ListView1 in report view, one column per caption id.
    QTreeWidget* createList(std::initializer_list<int> columnCaptions);
    // Columns from first on wide enough for their captions, at least minWidth.
    void fitColumnsToCaptions(int first, int minWidth);
    // fraProgress, hidden.
    ProgressPanel* createProgressPanel();

    // The single-page transfer of a kind of the link's plan table ("cashiers",
    // "departments", "flashcash"): no question, no panel, no retry.
    void transferSinglePage(std::string_view kind, link::Direction direction);

    // Writes the sheet into a new file, shows it in the spreadsheet program
    // and says 111196. rowCount sets the progress bar.
    void exportSheet(const std::function<sheets::SheetData()>& build, long long rowCount);

private:
    void singleFinished(const link::TransferResult& r, link::Direction d);

    QTreeWidget* list_ = nullptr;
    ProgressPanel* panel_ = nullptr;
    QMetaObject::Connection singleState_, singleDone_;
};

// fraProgress: lblProgress, ProgressBar1, cmdStop, cmdContinue, cmdClose.
class ProgressPanel : public QFrame {
    Q_OBJECT
public:
    explicit ProgressPanel(QWidget* parent);
    QLabel* label() const { return label_; }
    QProgressBar* bar() const { return bar_; }
    QPushButton* stopButton() const { return stop_; }
    QPushButton* continueButton() const { return continue_; }
    QPushButton* closeButton() const { return close_; }

    // Visible; Stop on; Continue and Close off.
    void showRunning();
    // Visible; Continue and Close on; Stop off.
    void showPaused();

private:
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* stop_;
    QPushButton* continue_;
    QPushButton* close_;
};

// The paged upload and download of one data kind, driven by a list form's
// page boxes (txtStartPage, txtEndPage) and its progress panel, on the
// program's engine. Idle, running, paused, finished as the panel shows.
class PagedTransfer : public QObject {
    Q_OBJECT
public:
    // kind: a paged kind of the link's plan table ("plu", "members", ...).
    PagedTransfer(ListForm* form, std::string_view kind, QLineEdit* startBox, QLineEdit* endBox);

    // cmdUpload and cmdDownload: the boxes set to the whole range first.
    void upload();
    void download();
    // ReadPages and WritePages: the range of the boxes.
    void readPages() { run(link::Direction::Read); }
    void writePages() { run(link::Direction::Write); }

    // Pages of the kind for the database's keyboard.
    int pageCount(link::Direction d) const;
    // The direction of the last transfer started (continue repeats it).
    link::Direction direction() const { return direction_; }
    bool paused() const { return paused_; }

private:
    void run(link::Direction d);
    void onState(link::EngineState s);
    void onPage(int page, const QString& caption);
    void onFinished(const link::TransferResult& r);
    void stopClicked();
    void continueClicked();
    void closeClicked();
    void release();

    ListForm* form_;
    const link::KindPlan* plan_;
    QLineEdit* start_;
    QLineEdit* end_;
    ProgressPanel* panel_;
    link::Direction direction_ = link::Direction::Read;
    bool paused_ = false;
    QList<QMetaObject::Connection> engineConnections_;
};

// The entry form: IsModify, cmdSave and cmdCancel, the refusal of a failing
// check with the focus put into its field, and the add-another question.
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
    // The question whether to add another row.
    bool askAnother(int messageId, gui::Prompter::Icon icon);
    // After adding a department or cashier: asks 111111; with Yes gives the
    // next free id of the table, closing the form when there is none (111112).
    // No (or a database error, already shown) gives nullopt.
    std::optional<int> anotherId(const std::string& location, const std::string& table);

private:
    bool isModify_ = false;
    QPushButton* save_;
    QPushButton* cancel_;
};

// The database the editors work on (the program's one connection).
db::Database& Db();

} // namespace ecr::editors
