#include "LoginForm.h"

#include "ui/Languages.h"
#include "ui/Prompter.h"
#include "LoginLogic.h"
#include "ui/Texts.h"
#include "ui/Windows.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "db/Database.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ecr::gui {

using namespace ecr::ui;

LoginForm::LoginForm(QWidget* parent) : QDialog(parent) {
    setObjectName("frmLogin");
    label1_ = new QLabel(this);
    label1_->setObjectName("Label1");
    label1_->setWordWrap(true);
    QFont heading = label1_->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.2);
    label1_->setFont(heading);
    label2_ = new QLabel(this);
    label2_->setObjectName("Label2");
    label3_ = new QLabel(this);
    label3_->setObjectName("Label3");
    label4_ = new QLabel(this);
    label4_->setObjectName("Label4");

    cboLanguage_ = new QComboBox(this);
    cboLanguage_->setObjectName("cboLanguage");
    cboLanguage_->addItem(QString());
    for (const auto& l : kLanguages) cboLanguage_->addItem(QString::fromUtf8(l.listText));

    cboEcrType_ = new QComboBox(this);
    cboEcrType_->setObjectName("cboEcrType");
    cboEcrType_->addItem(QString());
    for (const auto& m : kModels) cboEcrType_->addItem(QString::fromLatin1(m.name));

    txtPassword_ = new QLineEdit(this);
    txtPassword_->setObjectName("txtPassword");
    txtPassword_->setEchoMode(QLineEdit::Password);

    cmdOK_ = new QPushButton(this);
    cmdOK_->setObjectName("cmdOK");
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(this);
    cmdCancel_->setObjectName("cmdCancel");
    cmdCancel_->setAutoDefault(false);

    auto* fields = new QFormLayout;
    fields->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    fields->addRow(label4_, cboLanguage_);
    fields->addRow(label3_, cboEcrType_);
    fields->addRow(label2_, txtPassword_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(cmdOK_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cmdCancel_, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1_);
    layout->addSpacing(8);
    layout->addLayout(fields);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    setMinimumWidth(380);

    ApplyFormFont(this);

    db::Database& db = *App().conn;
    const int stored = static_cast<int>(db.scalar("SELECT lang FROM info LIMIT 1").toInt());
    cboLanguage_->setCurrentIndex(IsLanguageCode(stored) ? stored : 0);
    cboEcrType_->setCurrentIndex(ModelListIndex(db.scalar("SELECT ecrtype FROM info LIMIT 1").toText()));
    refreshCaptions();
    // The font of the language it speaks, as after choosing it.
    ApplyFormFont(this, captionLanguage());

    connect(cboLanguage_, &QComboBox::currentIndexChanged, this, [this] {
        ApplyInterfaceLanguage(captionLanguage());
        ApplyFormFont(this, captionLanguage());
        refreshCaptions();
        // The height this language's captions need, not the last one's.
        if (isVisible()) FitHeightToContents(this);
    });
    connect(cmdOK_, &QPushButton::clicked, this, &LoginForm::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void LoginForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FitHeightToContents(this);
}

int LoginForm::captionLanguage() const {
    const int chosen = cboLanguage_->currentIndex();
    return IsLanguageCode(chosen) ? chosen : App().langCode;
}

void LoginForm::refreshCaptions() {
    const int lang = captionLanguage();
    setWindowTitle(TextIn(lang, 111578));
    label1_->setText(TextIn(lang, 111580));
    label2_->setText(FieldLabel(TextIn(lang, 111581)));
    label3_->setText(FieldLabel(TextIn(lang, 111616)));
    label4_->setText(FieldLabel(TextIn(lang, 110051)));
    cmdOK_->setText(TextIn(lang, 111000));
    cmdCancel_->setText(TextIn(lang, 110070));
    cboLanguage_->setItemText(0, TextIn(lang, 111638));
    cboEcrType_->setItemText(0, TextIn(lang, 111614));
}

void LoginForm::cmdOK_Click() {
    const int lang = captionLanguage();
    const QString title = TextIn(lang, 111578);
    const int language = cboLanguage_->currentIndex();
    const int model = cboEcrType_->currentIndex();
    if (language == 0) {
        Prompt().information(this, title, TextIn(lang, 111639));
        return;
    }
    if (model == 0) {
        Prompt().information(this, title, TextIn(lang, 111615));
        return;
    }
    db::Database& db = *App().conn;
    try {
        if (!PasswordMatches(db, txtPassword_->text().toStdString())) {
            Prompt().plain(this, title, TextIn(lang, 111579));
            txtPassword_->setFocus();
            txtPassword_->selectAll();
            return;
        }
        StoreLogin(db, App(), language, model);
    } catch (const db::DbError& e) {
        WriteErrorLog("frmLogin_cmdOK_Click", e.code(), e.what());
        Prompt().error(this, QStringLiteral("Error"), TextIn(lang, 111465) + "\n" + QString::fromUtf8(e.what()));
        return;
    }
    loginOk_ = true;
    accept();
}

} // namespace ecr::gui
