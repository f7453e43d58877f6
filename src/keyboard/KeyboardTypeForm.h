// The keyboard chooser frmKeyboardType: which keyboard the register has, kept
// in info.keyboard, so the key editor opens the right layout.
#pragma once

#include <QDialog>

class QComboBox;

namespace ecr::keyboard {

class KeyboardTypeForm : public QDialog {
    Q_OBJECT
public:
    explicit KeyboardTypeForm(QWidget* parent = nullptr);

private:
    void cmdModify_Click();

    QComboBox* keyboard_;
};

} // namespace ecr::keyboard
