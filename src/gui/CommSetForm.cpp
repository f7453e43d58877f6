#include "CommSetForm.h"

#include "ui/Languages.h"
#include "ui/Prompter.h"
#include "LoginLogic.h"
#include "ui/Texts.h"
#include "app/CodePage.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "db/Database.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

namespace ecr::gui {

using namespace ecr::ui;

QStringList PresentSerialPorts() {
    QStringList ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) ports << info.systemLocation();
    ports.sort();
    ports.removeDuplicates();
    return ports;
}

CommSetForm::CommSetForm(QWidget* parent) : CommSetForm(PresentSerialPorts(), parent) {}

CommSetForm::CommSetForm(const QStringList& ports, QWidget* parent) : QDialog(parent) {
    setObjectName("frmCommSet");
    setWindowTitle(Text(111306));
    label1_ = new QLabel(FieldLabel(Text(111520)), this);
    label1_->setObjectName("Label1");
    label2_ = new QLabel(FieldLabel(Text(111521)), this);
    label2_->setObjectName("Label2");

    const AppState& s = App();
    const QString current = QString::fromStdString(s.commPortName.empty() ? DefaultPortName(s.commPort)
                                                                          : s.commPortName);
    cboComm_ = new QComboBox(this);
    cboComm_->setObjectName("cboComm");
    cboComm_->setEditable(true);
    cboComm_->setInsertPolicy(QComboBox::NoInsert);
    cboComm_->addItems(ports);
    if (!ports.contains(current)) cboComm_->addItem(current);
    cboComm_->setCurrentIndex(cboComm_->findText(current));
    cboComm_->setMinimumContentsLength(18);

    cboRate_ = new QComboBox(this);
    cboRate_->setObjectName("cboRate");
    for (int rate : kRates) cboRate_->addItem(QString::number(rate));
    cboRate_->setCurrentIndex(RateIndex(s.baudRate));

    // The code pages the interface languages need; one in force that is not
    // among them (set by editing the database) stays offered.
    label3_ = new QLabel(FieldLabel(Text(120201)), this);
    label3_->setObjectName("Label3");
    cboCodePage_ = new QComboBox(this);
    cboCodePage_->setObjectName("cboCodePage");
    for (const CodePageChoice& c : InterfaceCodePages())
        cboCodePage_->addItem(QString::fromUtf8(c.caption), QString::fromLatin1(c.name));
    const QString inForce = QString::fromStdString(RegisterCodePage());
    if (cboCodePage_->findData(inForce) < 0) cboCodePage_->addItem(inForce, inForce);
    cboCodePage_->setCurrentIndex(cboCodePage_->findData(inForce));

    cmdSave_ = new QPushButton(Text(111009), this);
    cmdSave_->setObjectName("cmdSave");
    cmdSave_->setDefault(true);
    cmdCancel_ = new QPushButton(Text(111010), this);
    cmdCancel_->setObjectName("cmdCancel");
    cmdCancel_->setAutoDefault(false);

    auto* fields = new QFormLayout;
    fields->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    fields->addRow(label1_, cboComm_);
    fields->addRow(label2_, cboRate_);
    fields->addRow(label3_, cboCodePage_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(cmdSave_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cmdCancel_, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    setMinimumWidth(340);
    ApplyFormFont(this);

    // A device needs a name; nothing to save while the box is empty.
    connect(cboComm_, &QComboBox::editTextChanged, this,
            [this](const QString& text) { cmdSave_->setEnabled(!text.trimmed().isEmpty()); });
    connect(cmdSave_, &QPushButton::clicked, this, &CommSetForm::cmdSave_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void CommSetForm::cmdSave_Click() {
    const QString port = cboComm_->currentText().trimmed();
    if (port.isEmpty()) return;
    const std::string codePage = cboCodePage_->currentData().toString().toStdString();
    try {
        db::Database& db = *App().conn;
        db::Transaction t(db);
        SaveCommSettings(db, App(), port.toStdString(), RateAt(cboRate_->currentIndex()));
        db.execute("UPDATE info SET codepage = ?", {codePage});
        t.commit();
        SetRegisterCodePage(codePage);
    } catch (const db::DbError& e) {
        WriteErrorLog("frmCommSet_cmdSave_Click", e.code(), e.what());
        Prompt().error(this, QStringLiteral("Error"), Text(111465) + "\n" + QString::fromUtf8(e.what()));
        return;
    }
    accept();
}

} // namespace ecr::gui
