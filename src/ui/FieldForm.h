// The builder of entry forms described by field tables: lays the controls out
// (grid, framed groups or tabs; tab order by the table), loads them from a
// row, checks them in table order and gives the values to save, which
// SaveRow writes with one statement of bound values.
#pragma once

#include "FieldTable.h"

#include <QString>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QComboBox;
class QLayout;
class QWidget;

namespace ecr::ui {

// Column values in table order, one per column.
using RowValues = std::vector<std::pair<std::string, db::Value>>;

class FieldForm {
public:
    // Creates the controls of the table as children of form. layout() holds
    // them, to be placed into the form's own layout.
    FieldForm(QWidget* form, FieldTable table);

    QLayout* layout() const { return layout_; }
    const FieldTable& table() const { return table_; }
    // The control of a field by object name; nullptr when there is none.
    QWidget* control(const char* object) const;
    template <class T> T* control(const char* object) const { return qobject_cast<T*>(control(object)); }
    // The first control in table order that takes typing.
    QWidget* firstEditable() const;
    // The last control in the tab order the table sets.
    QWidget* lastInTabOrder() const;

    // Shows the row's columns; a column the row lacks leaves its controls.
    void load(const db::Rows& rows, std::size_t row = 0);
    // Every field's initial value (a new row).
    void loadInitial();
    // The values fields show after "add another"; the others are kept.
    void loadAnother();
    // Sets a control from its own value: text, item index, 0/1, digit.
    void setValue(const Field& f, const db::Value& v);
    // Builds the items of the combos with itemsAt again; each keeps the value
    // it showed, or shows none and keeps that value for saving.
    void refreshItems();

    // The first field in table order that the register cannot hold, or that
    // is required and empty. pointDecimals: params.PointEn in force.
    std::optional<Refusal> check(int pointDecimals) const;
    // What to store, per column, in table order. Labels are not stored.
    RowValues values() const;

private:
    void build(QWidget* form);
    QWidget* makeControl(QWidget* parent, const Field& f);
    db::Value storedValue(const Field& f) const;
    void fillItems(const Field& f, QComboBox* combo) const;
    int itemOf(const Field& f, const QComboBox* combo, const db::Value& v) const;
    QString shownText(const Field& f, const db::Value& v) const;

    FieldTable table_;
    QLayout* layout_ = nullptr;
    std::vector<QWidget*> controls_;          // one per field, table order
    std::map<std::string, db::Value> loaded_; // column values last loaded
};

// Writes the values with one statement of bound values: an INSERT, or an
// UPDATE of the row whose key column holds key. Table and column names come
// from the program's tables, never from typed text.
void InsertRow(db::Database& db, const std::string& table, const RowValues& values);
void UpdateRow(db::Database& db, const std::string& table, const RowValues& values, const std::string& keyColumn,
               const db::Value& key);

} // namespace ecr::ui
