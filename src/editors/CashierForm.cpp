#include "CashierForm.h"

#include "EditorLogic.h"
#include "app/GlobalFunc.h"
#include "db/Database.h"
#include "gui/Languages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ecr::editors {

using gui::Prompter;

namespace {
// id, name, password, then the fourteen rights
enum Column { ColId, ColName, ColPasswd, ColFirstRight };
constexpr int kKeyRole = Qt::UserRole;
constexpr int kPasswordLength = 6; // the register's password field

QString rightText(long long value) { return value ? Caption(111232) : QString(); }
} // namespace

// ---- frmCashierStruct -------------------------------------------------------------

CashierForm::CashierForm(QWidget* parent) : ListForm("frmCashierStruct", 111012, parent) {
    auto* label1 = MakeLabel(this, "Label1", 111013, false);
    QTreeWidget* l = createList({111002, 111003, 111004, 111006, 111007, 111008, 111469, 111632, 111508, 111470,
                                 111472, 111473, 111474, 111509, 111633, 111511, 111510});
    l->header()->resizeSection(ColId, 50);
    l->header()->resizeSection(ColName, 140);
    l->header()->resizeSection(ColPasswd, 80);
    auto* cmdUpload = MakeButton(this, "cmdUpload", 111014);
    auto* cmdDownload = MakeButton(this, "cmdDownload", 111015);
    auto* cmdAdd = MakeButton(this, "cmdAdd", 111017);
    auto* cmdModify = MakeButton(this, "cmdModify", 111018);
    auto* cmdDelete = MakeButton(this, "cmdDelete", 111016);
    auto* cmdExit = MakeButton(this, "cmdExit", 111019);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdUpload, cmdDownload, cmdAdd, cmdModify, cmdDelete, cmdExit}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(l, 1);
    layout->addLayout(buttons);
    resize(1180, 520);
    gui::ApplyFormFont(this);
    fitColumnsToCaptions(ColFirstRight, 48);

    connect(cmdUpload, &QPushButton::clicked, this, [this] { transferSinglePage("cashiers", link::Direction::Read); });
    connect(cmdDownload, &QPushButton::clicked, this, [this] { transferSinglePage("cashiers", link::Direction::Write); });
    connect(cmdAdd, &QPushButton::clicked, this, &CashierForm::cmdAdd_Click);
    connect(cmdModify, &QPushButton::clicked, this, &CashierForm::cmdModify_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &CashierForm::cmdDelete_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);

    FillList();
}

void CashierForm::setRowTexts(QTreeWidgetItem* row, const CashierFields& f) {
    row->setText(ColId, QString::number(f.id));
    row->setText(ColName, QString::fromStdString(TrimBlanks(f.name)));
    row->setText(ColPasswd, QString::fromStdString(f.passwd));
    for (std::size_t i = 0; i < f.rights.size(); ++i)
        row->setText(ColFirstRight + static_cast<int>(i), rightText(f.rights[i]));
    row->setData(0, kKeyRole, QStringLiteral("K%1").arg(f.id));
}

QTreeWidgetItem* CashierForm::addRow(const CashierFields& f) {
    auto* row = new QTreeWidgetItem(list());
    setRowTexts(row, f);
    return row;
}

void CashierForm::FillList() {
    list()->clear();
    Trapped(this, where("FillList"), [this] {
        std::string columns = "id, name, passwd";
        for (const char* c : kRightColumns) columns += std::string(", ") + c;
        const db::Rows rows = Db().query("SELECT " + columns + " FROM cashier ORDER BY id");
        for (const auto& r : rows.rows) {
            auto* row = new QTreeWidgetItem(list());
            row->setText(ColId, QString::fromStdString(r[0].toText()));
            row->setText(ColName, QString::fromStdString(r[1].toText()));
            row->setText(ColPasswd, QString::fromStdString(r[2].toText()));
            for (std::size_t i = 0; i < kRightColumns.size(); ++i)
                row->setText(ColFirstRight + static_cast<int>(i), rightText(r[3 + i].toInt()));
            row->setData(0, kKeyRole, QStringLiteral("K") + row->text(ColId));
        }
    });
}

void CashierForm::cmdAdd_Click() {
    const std::optional<int> next = nextIdOrRefuse("cashier", 111113);
    if (!next) return;
    CashierEntryForm entry(this, false, *next);
    entry.exec();
}

void CashierForm::cmdModify_Click() {
    QTreeWidgetItem* row = selectedRow();
    if (!row) {
        Inform(this, 111114);
        return;
    }
    CashierEntryForm entry(this, true, row->text(ColId).toInt());
    entry.exec();
}

void CashierForm::cmdDelete_Click() {
    deleteSelectedRow(111114, 111116, Prompter::Icon::Information,
                      [](const QTreeWidgetItem& row) { DeleteCashier(Db(), row.text(ColId).toLongLong()); });
}

// ---- frmCashier_S -------------------------------------------------------------------

CashierEntryForm::CashierEntryForm(CashierForm* list, bool modify, int id)
    : EntryForm("frmCashier_S", list), list_(list), id_(id) {
    setModify(modify);
    setWindowTitle(Caption(111011));
    lblCashierId_ = new QLabel(QString::number(id), this);
    lblCashierId_->setObjectName("lblCashierId");
    txtCashierName_ = MakeField(this, "txtCashierName", EntryRule::Text);
    txtPasswd_ = MakeField(this, "txtPasswd", EntryRule::DigitsMoveOn);
    txtPasswd_->setMaxLength(kPasswordLength);

    auto* grid = new QGridLayout;
    grid->addWidget(MakeLabel(this, "Label1", 111002), 0, 0);
    grid->addWidget(lblCashierId_, 0, 1);
    grid->addWidget(MakeLabel(this, "Label2", 111003), 1, 0);
    grid->addWidget(txtCashierName_, 1, 1);
    grid->addWidget(MakeLabel(this, "Label3", 111004), 2, 0);
    grid->addWidget(txtPasswd_, 2, 1);
    grid->setColumnMinimumWidth(1, 220);

    auto* rightsBox = new QGroupBox(this);
    auto* label4 = MakeLabel(this, "Label4", 111005, false);
    auto* rightsGrid = new QGridLayout(rightsBox);
    for (std::size_t i = 0; i < kRightColumns.size(); ++i) {
        const std::string name = std::string("chk") + static_cast<char>(std::toupper(kRightColumns[i][0])) +
                                 (kRightColumns[i] + 1);
        rights_[i] = MakeCheckBox(rightsBox, name.c_str(), kRightCaptions[i]);
        rightsGrid->addWidget(rights_[i], static_cast<int>(i / 2), static_cast<int>(i % 2));
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(saveButton());
    buttons->addWidget(cancelButton());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(label4);
    layout->addWidget(rightsBox);
    layout->addLayout(buttons);
    setTabOrder(txtCashierName_, txtPasswd_);
    QWidget* previous = txtPasswd_;
    for (QCheckBox* c : rights_) {
        setTabOrder(previous, c);
        previous = c;
    }
    setTabOrder(previous, saveButton());
    setTabOrder(saveButton(), cancelButton());
    gui::ApplyFormFont(this);

    if (QTreeWidgetItem* row = modify ? list_->selectedRow() : nullptr) {
        txtCashierName_->setText(row->text(ColName));
        txtPasswd_->setText(row->text(ColPasswd));
        for (std::size_t i = 0; i < rights_.size(); ++i)
            rights_[i]->setChecked(!row->text(ColFirstRight + static_cast<int>(i)).isEmpty());
    }
    txtCashierName_->setFocus();
}

CashierFields CashierEntryForm::fields() const {
    CashierFields f;
    f.id = id_;
    f.name = txtCashierName_->text().toStdString();
    f.passwd = txtPasswd_->text().toStdString();
    for (std::size_t i = 0; i < rights_.size(); ++i) f.rights[i] = rights_[i]->isChecked() ? 1 : 0;
    return f;
}

void CashierEntryForm::save() {
    const CashierFields f = fields();
    if (isModify()) {
        if (!Trapped(this, "frmCashier_S_cmdSave_Click", [&] { UpdateCashier(Db(), f); })) return;
        if (QTreeWidgetItem* row = list_->selectedRow()) CashierForm::setRowTexts(row, f);
        accept();
        return;
    }
    if (!Trapped(this, "frmCashier_S_cmdSave_Click", [&] { AddCashier(Db(), f); })) return;
    list_->addRow(f);
    const std::optional<int> next = anotherId("frmCashier_S_cmdSave_Click", "cashier");
    if (!next) return;
    id_ = *next;
    lblCashierId_->setText(QString::number(id_));
    txtCashierName_->clear();
    txtPasswd_->clear();
    txtCashierName_->setFocus();
}

} // namespace ecr::editors
