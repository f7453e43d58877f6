// Table editors: a list form and its entry form from one description of the
// table (key, order, list columns with their formats, the slot rule, the
// transfer kind, an export sheet, the messages of the row actions) and the
// field table of the entry form. The key is either computed for a new row
// (nextKey: department ids, promotion places) or typed into a field of the
// entry form (member and bundle codes), which then needs a place of its own
// in the register (nextSlot). An editor with rules of its own overrides the
// hooks of TableListForm.
#pragma once

#include "FieldForm.h"
#include "ListForm.h"
#include "import/Spreadsheet.h"

#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace ecr::ui {

// How a list column shows its stored value.
enum class Shown {
    Text,     // as stored
    Number,   // without trailing zeros: 13, 9.5
    Amount2,  // at least two decimals: 2.50
    Amount3,  // at least three decimals
    Mark,     // caption 111232 when not 0, empty otherwise
    Captions, // captions[value]; empty outside the list
    Date,     // the day of a stored date and time: yyyy-mm-dd
    Lookup,   // what lookup finds for the stored value (a PLU's name by its code)
};

struct ListColumn {
    const char* column;
    int caption;
    Shown shown = Shown::Text;
    int width = 0;             // least width; 0: as wide as the caption needs (contents widen it)
    std::vector<int> captions; // Shown::Captions
    std::function<QString(db::Database&, const db::Value&)> lookup; // Shown::Lookup
};

struct ListDescription {
    const char* form = nullptr;    // object name of the list form
    int caption = 0;               // its title
    int heading = 0;               // Label1 above the list; 0: none
    const char* table = nullptr;
    const char* key = nullptr;     // key column; shown by a list column or kept out of sight
    const char* keyPrefix = "K";   // a list row keeps prefix + key (Qt::UserRole of column 0)
    const char* order = nullptr;   // ORDER BY of the list
    std::vector<ListColumn> columns;
    // The key of a new row; nullopt when every slot is taken. Empty: the key
    // is typed into the entry form's field of the key column.
    std::function<std::optional<long long>(db::Database&)> nextKey;
    // A typed key's place in the register, written into slotColumn on
    // insert; nullopt when every place is taken.
    const char* slotColumn = nullptr;
    std::function<std::optional<long long>(db::Database&)> nextSlot;
    int duplicateMessage = 0;      // a typed key that is stored already; 0: not checked
    const char* transferKind = nullptr; // kind of the link's plan table; nullptr: none
    // The export sheet; empty: no export button.
    std::function<sheets::SheetData(db::Database&)> sheet;
    QSize size{760, 520};
    int fitMinWidth = 80;          // narrowest fitted column

    bool doubleClickModifies = false;
    int noRowModify = 0;           // message for modify without a row; 0: nothing happens
    int noRowDelete = 0;           // message for delete without a row; 0: nothing happens
    int confirmDelete = 0;
    Prompter::Icon deleteIcon = Prompter::Icon::Information;
    int deletedMessage = 0;        // after a delete (and a delete all); 0: none
    int confirmDeleteAll = 0;      // cmdDelAll asks this; 0: no such button
    int fullMessage = 0;           // add refused when no slot is free
    // The row to modify is gone (deleted meanwhile): this text, titled
    // notFoundTitle, or message 120554 when nullptr; the list is read again.
    const char* notFoundText = nullptr;
    const char* notFoundTitle = nullptr;

    const char* entryForm = nullptr; // object name of the entry form
    int entryCaption = 0;
    FieldTable fields;
    int anotherQuestion = 111111;    // after an add: add another? 0: the form closes
    Prompter::Icon anotherIcon = Prompter::Icon::Information;
    int anotherFull = 0;             // another wanted, but no slot is free
};

class TableListForm : public ListForm {
    Q_OBJECT
public:
    TableListForm(const ListDescription& description, QWidget* parent);

    const ListDescription& description() const { return d_; }
    // Reloads the list from the table.
    void FillList();
    void reloadAfterRead() override { FillList(); }
    // Shows the stored row of the key in the list row (appended when row is
    // nullptr); returns the row.
    QTreeWidgetItem* showStoredRow(const db::Value& key, QTreeWidgetItem* row);
    // The key of the list row.
    db::Value rowKey(const QTreeWidgetItem& row) const;

    // Hooks for an editor's own rules.
    // Values written on insert besides the fields and the key.
    virtual void completeInsert(RowValues& values, const db::Value& key) const;
    // A check after the field table's own; nullopt lets the row be saved.
    virtual std::optional<Refusal> checkEntry(const FieldForm& fields) const;
    // The values about to be stored (add and modify), after the checks; an
    // editor may correct them and show the correction in its fields.
    virtual void completeValues(FieldForm& fields, RowValues& values) const;

protected:
    void cmdAdd_Click();
    void cmdModify_Click();
    void cmdDelete_Click();
    void cmdDelAll_Click();
    void cmdExcel_Click();

private:
    void showRow(QTreeWidgetItem* item, const db::Rows& rows, std::size_t r) const;
    std::string listSql() const;

    const ListDescription& d_;
};

class TableEntryForm : public EntryForm {
    Q_OBJECT
public:
    // key: the new row's key (add; null when it is typed) or the selected
    // row's (modify).
    TableEntryForm(TableListForm* list, bool modify, const db::Value& key);
    FieldForm& fields() { return *fields_; }

protected:
    void save() override;

private:
    void showKey();
    // The field that edits the key column; nullptr when the key is computed.
    const Field* keyField() const;
    // Refuses a typed key that is stored already, or a row without a place
    // in the register; adds the key and the place to the values.
    bool placeNewRow(RowValues& values);

    TableListForm* list_;
    db::Value key_;
    std::unique_ptr<FieldForm> fields_;
};

} // namespace ecr::ui
