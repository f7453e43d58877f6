// Changing the login password.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ecr::gui {

class PasswordForm : public QDialog {
    Q_OBJECT
public:
    explicit PasswordForm(QWidget* parent = nullptr);

private:
    void cmdOK_Click();
    // An information box, then the focus to the box that needs correcting.
    void refuse(int messageId, QLineEdit* field);

    QLabel* label1_;
    QLabel* label2_;
    QLabel* label3_;
    QLineEdit* txtOldPasswd_;
    QLineEdit* txtNewPasswd1_;
    QLineEdit* txtNewPasswd2_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
};

} // namespace ecr::gui
