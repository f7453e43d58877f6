// The department editor: the list form frmDepart and the entry form
// frmDepart_S over table depart; one register page in each direction.
#pragma once

#include "ui/TableEditor.h"

namespace ecr::editors {

class DepartForm : public ui::TableListForm {
    Q_OBJECT
public:
    explicit DepartForm(QWidget* parent = nullptr);
    // Text of the kitchen printer of a stored value; empty outside 0..3.
    static QString KitchenValue(long long value);
    // addr is written with the id.
    void completeInsert(ui::RowValues& values, const db::Value& key) const override;
};

} // namespace ecr::editors
