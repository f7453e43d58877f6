// The department editor: the list form frmDepart and the entry form
// frmDepart_S; one register page in each direction.
#pragma once

#include "DepartCashierLogic.h"
#include "ListForm.h"

class QComboBox;

namespace ecr::editors {

class DepartForm : public ListForm {
    Q_OBJECT
public:
    explicit DepartForm(QWidget* parent = nullptr);
    void FillList();
    void reloadAfterRead() override { FillList(); }
    // Text of the kitchen printer of a stored value; empty outside 0..3.
    static QString KitchenValue(long long value);
    // The list row of a department as saved.
    QTreeWidgetItem* addRow(const DepartFields& f);
    static void setRowTexts(QTreeWidgetItem* row, const DepartFields& f);

private:
    void cmdAdd_Click();
    void cmdModify_Click();
    void cmdDelete_Click();
};

class DepartEntryForm : public EntryForm {
    Q_OBJECT
public:
    // id: the new department's id (add), or the selected row's (modify).
    DepartEntryForm(DepartForm* list, bool modify, int id);
    DepartFields fields() const;

protected:
    void save() override;

private:
    DepartForm* list_;
    int id_;
    long long storedKitchen_ = 1; // kept when the combo shows none of its items
    QLabel* lblDepartID_;
    QLineEdit *txtDepartName_, *txtPrice_, *txtTaxRate_;
    QCheckBox* chkDiscountEn_;
    QComboBox* cboKitchenEn_;
};

} // namespace ecr::editors
