// The flash-cash view frmFlashCash: the register's running totals per type,
// read in one page, named as the parameters name the payment methods when
// the list is filled.
#pragma once

#include "ui/ListForm.h"

namespace ecr::views {

class FlashCashForm : public ui::ListForm {
    Q_OBJECT
public:
    explicit FlashCashForm(QWidget* parent = nullptr);

    void FillList();
    void reloadAfterRead() override { FillList(); }

private:
    void cmdDelAll_Click();

    ui::SinglePageTransfer* transfer_;
};

} // namespace ecr::views
