// Login: interface language, register model and password.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ecr::gui {

class LoginForm : public QDialog {
    Q_OBJECT
public:
    explicit LoginForm(QWidget* parent = nullptr);
    // True once the password matched and the choices were stored.
    bool loginOk() const { return loginOk_; }

protected:
    // Shown at the height its language needs, by the same rule as after a
    // change of language.
    void showEvent(QShowEvent* event) override;

private:
    void cmdOK_Click();
    // Captions in the language being chosen, so the form speaks it at once.
    void refreshCaptions();
    int captionLanguage() const;

    QLabel* label1_;
    QLabel* label2_;
    QLabel* label3_;
    QLabel* label4_;
    QComboBox* cboLanguage_;
    QComboBox* cboEcrType_;
    QLineEdit* txtPassword_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    bool loginOk_ = false;
};

} // namespace ecr::gui
