// The PLU editor: the list form frmPLU (department tree, paged list, search,
// row actions, paged transfers, export), the entry form frmPLU_S and the
// search dialog frmPLUSearch.
#pragma once

#include "EditorLogic.h"
#include "ui/ListForm.h"

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace ecr::editors {

class PluForm : public ui::ListForm {
    Q_OBJECT
public:
    explicit PluForm(QWidget* parent = nullptr);

    // One list page: "first", "prev", "next" or "last" from the current page.
    void FillData(const QString& direction);
    // The department tree, with "all" selected.
    void FillTree();
    // The search dialog's result: the root node selected and the first page
    // of the PLUs with that code (byCode) or with the text in their name.
    void showSearch(bool byCode, const QString& text);

    QTreeWidget* tree() const { return tree_; }
    int currentPage() const { return currentPage_; }
    // The department of the selected tree node; nullopt for "all" and the root.
    std::optional<long long> selectedDepartment() const;
    ui::PagedTransfer* pagedTransfer() const { return paged_; }
    void reloadAfterRead() override;

    // Shows the stored PLU of the code in the list row (appended when row is
    // nullptr), formatted as a fill shows it; returns the row.
    QTreeWidgetItem* showStoredRow(const std::string& id, QTreeWidgetItem* row);
    // F5: the tree and the page shown, read again.
    void refresh() override;

    QString searchId, searchName; // empty: no search

private:
    void nodeClicked(QTreeWidgetItem* node);
    void openEntry(bool modify);
    void cmdModify_Click();
    void cmdDelete_Click();
    void cmdDelAll_Click();
    void cmdSearch_Click();
    void cmdExcel_Click();
    void showDecimalPlaces();

    QTreeWidget* tree_;
    QLabel* position_;
    QLabel* decimals_;
    QLineEdit* startPage_;
    QLineEdit* endPage_;
    ui::PagedTransfer* paged_;
    int currentPage_ = 1;
};

class PluEntryForm : public ui::EntryForm {
    Q_OBJECT
public:
    // modify: the selected row of the list form is edited.
    PluEntryForm(PluForm* list, bool modify);
    PluFields fields() const;

protected:
    void save() override;

private:
    PluForm* list_;
    QLineEdit *txtId_, *txtName_, *txtDepart_, *txtPrice_, *txtMemberPrice_, *txtAveragePrice_, *txtSafeStock_,
        *txtStockValue_;
    QComboBox* cboA0_;
};

class PluSearchForm : public QDialog {
    Q_OBJECT
public:
    explicit PluSearchForm(PluForm* list);

private:
    void cmdSearch_Click();

    PluForm* list_;
    QRadioButton* byCode_;
    QRadioButton* byName_;
    QLineEdit* text_;
};

} // namespace ecr::editors
