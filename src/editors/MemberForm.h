// The member editor: the list form frmMember and the entry form frmMember_S
// over table member; the register's 32 member pages in each direction.
#pragma once

#include "ui/TableEditor.h"

namespace ecr::editors {

class MemberForm : public ui::TableListForm {
    Q_OBJECT
public:
    explicit MemberForm(QWidget* parent = nullptr);
    // addr is 0 for a member added here.
    void completeInsert(ui::RowValues& values, const db::Value& key) const override;
};

} // namespace ecr::editors
