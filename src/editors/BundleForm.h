// The bundle editor: the list form frmBundle and the entry form frmBundle_S
// over table bundle; the register's 16 bundle pages in each direction, and
// the export of the table into a spreadsheet.
#pragma once

#include "ui/TableEditor.h"

namespace ecr::editors {

class BundleForm : public ui::TableListForm {
    Q_OBJECT
public:
    explicit BundleForm(QWidget* parent = nullptr);
    // address is 0 for a bundle added here.
    void completeInsert(ui::RowValues& values, const db::Value& key) const override;
};

} // namespace ecr::editors
