#include "PasswordForm.h"

#include "ui/Languages.h"
#include "ui/Prompter.h"
#include "LoginLogic.h"
#include "ui/Texts.h"
#include "app/AppState.h"
#include "app/ErrorLog.h"
#include "db/Database.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ecr::gui {

using namespace ecr::ui;
namespace {

QLineEdit* passwordBox(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setEchoMode(QLineEdit::Password);
    return e;
}

QLabel* label(QWidget* parent, const char* name, int id) {
    auto* l = new QLabel(FieldLabel(Text(id)), parent);
    l->setObjectName(name);
    return l;
}

} // namespace

PasswordForm::PasswordForm(QWidget* parent) : QDialog(parent) {
    setObjectName("frmModifyLoginPasswd");
    setWindowTitle(Text(111585));
    label1_ = label(this, "Label1", 111582);
    label2_ = label(this, "Label2", 111583);
    label3_ = label(this, "Label3", 111584);
    txtOldPasswd_ = passwordBox(this, "txtOldPasswd");
    txtNewPasswd1_ = passwordBox(this, "txtNewPasswd1");
    txtNewPasswd2_ = passwordBox(this, "txtNewPasswd2");
    cmdOK_ = new QPushButton(Text(111000), this);
    cmdOK_->setObjectName("cmdOK");
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(Text(110070), this);
    cmdCancel_->setObjectName("cmdCancel");
    cmdCancel_->setAutoDefault(false);

    auto* fields = new QFormLayout;
    fields->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    fields->addRow(label1_, txtOldPasswd_);
    fields->addRow(label2_, txtNewPasswd1_);
    fields->addRow(label3_, txtNewPasswd2_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(cmdOK_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cmdCancel_, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    setMinimumWidth(340);
    ApplyFormFont(this);

    connect(cmdOK_, &QPushButton::clicked, this, &PasswordForm::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void PasswordForm::refuse(int messageId, QLineEdit* field) {
    Prompt().information(this, Text(111115), Text(messageId));
    field->setFocus();
    field->selectAll();
}

void PasswordForm::cmdOK_Click() {
    db::Database& db = *App().conn;
    try {
        if (!PasswordMatches(db, txtOldPasswd_->text().toStdString())) return refuse(111586, txtOldPasswd_);
        if (txtNewPasswd1_->text() != txtNewPasswd2_->text()) return refuse(111587, txtNewPasswd2_);
        if (txtNewPasswd1_->text().isEmpty()) return refuse(111588, txtNewPasswd1_);
        StorePassword(db, txtNewPasswd1_->text().toStdString());
    } catch (const db::DbError& e) {
        WriteErrorLog("frmModifyLoginPasswd_cmdOK_Click", e.code(), e.what());
        Prompt().error(this, QStringLiteral("Error"), Text(111465) + "\n" + QString::fromUtf8(e.what()));
        return;
    }
    accept();
}

} // namespace ecr::gui
