// The cashier editor: the list form frmCashierStruct and the entry form
// frmCashier_S; one register page in each direction.
#pragma once

#include "DepartCashierLogic.h"
#include "ListForm.h"

#include <array>

namespace ecr::editors {

class CashierForm : public ListForm {
    Q_OBJECT
public:
    explicit CashierForm(QWidget* parent = nullptr);
    void FillList();
    void reloadAfterRead() override { FillList(); }
    QTreeWidgetItem* addRow(const CashierFields& f);
    static void setRowTexts(QTreeWidgetItem* row, const CashierFields& f);

private:
    void cmdAdd_Click();
    void cmdModify_Click();
    void cmdDelete_Click();
};

class CashierEntryForm : public EntryForm {
    Q_OBJECT
public:
    CashierEntryForm(CashierForm* list, bool modify, int id);
    CashierFields fields() const;

protected:
    void save() override;

private:
    CashierForm* list_;
    int id_;
    QLabel* lblCashierId_;
    QLineEdit *txtCashierName_, *txtPasswd_;
    std::array<QCheckBox*, 14> rights_{};
};

} // namespace ecr::editors
