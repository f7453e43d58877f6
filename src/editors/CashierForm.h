// The cashier editor: the list form frmCashierStruct and the entry form
// frmCashier_S over table cashier; one register page in each direction.
#pragma once

#include "ui/TableEditor.h"

#include <array>

namespace ecr::editors {

// The fourteen rights in list and page order: a0 a1 a2 a3 a7 .. a16.
inline constexpr std::array<const char*, 14> kRightColumns = {"a0", "a1", "a2",  "a3",  "a7",  "a8",  "a9",
                                                              "a10", "a11", "a12", "a13", "a14", "a15", "a16"};

class CashierForm : public ui::TableListForm {
    Q_OBJECT
public:
    explicit CashierForm(QWidget* parent = nullptr);
};

} // namespace ecr::editors
