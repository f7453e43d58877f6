// The sales journal viewer frmSaleData: the months that hold sales, the bills
// of the chosen month and the lines of the chosen bill, each list a page of
// 30 rows read from the database as it is shown; the journal's paged read and
// write, which follow the register's allocation table where it keeps one.
#pragma once

#include "PagedListModel.h"
#include "ui/ListForm.h"

class QLabel;
class QLineEdit;
class QTreeView;

namespace ecr::views {

class SaleDataForm : public ui::ListForm {
    Q_OBJECT
public:
    explicit SaleDataForm(QWidget* parent = nullptr);

    // Rebuilds the month tree; a month still in the journal stays chosen and
    // its bills are shown again from the first page.
    void FillTree();
    // A page of the chosen month's bills (nothing without a month), then the
    // lines of its first bill.
    void FillBills(PageMove move);
    // A page of the chosen bill's lines (nothing without a bill).
    void FillLines(PageMove move);

    QTreeWidget* tree() const { return tree_; }
    QTreeView* billView() const { return bills_; }
    QTreeView* lineView() const { return lines_; }
    PagedListModel* billModel() const { return billModel_; }
    PagedListModel* lineModel() const { return lineModel_; }
    // "YYYYMM" of the chosen month node; empty for none or the root.
    QString chosenMonth() const;
    // cmdFirst, cmdPrev, cmdNext, cmdLast of the bill list (index 0) or the
    // line list (index 1).
    QPushButton* pagingButton(PageMove move, int index) const;
    ui::PagedTransfer* pagedTransfer() const { return paged_; }

    void reloadAfterRead() override { FillTree(); }
    void setControlsEnabled(bool enabled) override;

private:
    void monthChosen(QTreeWidgetItem* node);
    void billsShown();
    void billChosen(const QModelIndex& index);
    void showPositions();

    QTreeWidget* tree_;
    QTreeView* bills_;
    QTreeView* lines_;
    PagedListModel* billModel_;
    PagedListModel* lineModel_;
    QLabel* billPosition_;
    QLabel* linePosition_;
    QLineEdit* startPage_;
    QLineEdit* endPage_;
    QPushButton* paging_[2][4] = {};
    ui::PagedTransfer* paged_;
    QString month_; // of the bills shown
};

} // namespace ecr::views
