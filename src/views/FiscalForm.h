// The fiscal view frmFiscal: the dates that hold fiscal day records, the
// records of the chosen date, the paged read of the fiscal pages (which
// replaces what was stored) and the export.
#pragma once

#include "ui/ListForm.h"

class QLineEdit;

namespace ecr::views {

class FiscalForm : public ui::ListForm {
    Q_OBJECT
public:
    explicit FiscalForm(QWidget* parent = nullptr);

    // Rebuilds the date tree; a date still stored stays chosen.
    void FillTree();
    // The records of the chosen date; an empty list without one.
    void FillList();

    QTreeWidget* tree() const { return tree_; }
    ui::PagedTransfer* pagedTransfer() const { return paged_; }
    void reloadAfterRead() override { FillTree(); }

private:
    void cmdExcel_Click();

    QTreeWidget* tree_;
    QLineEdit* startPage_;
    QLineEdit* endPage_;
    ui::PagedTransfer* paged_;
};

} // namespace ecr::views
