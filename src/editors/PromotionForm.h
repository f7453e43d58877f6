// The promotion editor: the list form frmPromotion and the entry form
// frmPromotion_S over table promotion, keyed by the register place
// (address); the register's 8 promotion pages in each direction.
#pragma once

#include "ui/TableEditor.h"

namespace ecr::editors {

class PromotionForm : public ui::TableListForm {
    Q_OBJECT
public:
    explicit PromotionForm(QWidget* parent = nullptr);
    // An end before the start becomes the start, stored and shown.
    void completeValues(ui::FieldForm& fields, ui::RowValues& values) const override;
};

} // namespace ecr::editors
