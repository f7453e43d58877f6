#include "DepartForm.h"

#include "EditorLogic.h"
#include "app/GlobalFunc.h"
#include "db/Database.h"
#include "gui/Languages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
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
// id, name, price, discount, tax, kitchen printer
enum Column { ColId, ColName, ColPrice, ColDiscount, ColTax, ColKitchen };
constexpr int kKeyRole = Qt::UserRole;
} // namespace

// ---- frmDepart ------------------------------------------------------------------

DepartForm::DepartForm(QWidget* parent) : ListForm("frmDepart", 111030, parent) {
    auto* label1 = MakeLabel(this, "Label1", 111031, false);
    createList({111033, 111034, 111035, 111037, 111386, 111385});
    list()->header()->resizeSection(ColId, 50);
    list()->header()->resizeSection(ColName, 180);
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
    layout->addWidget(list(), 1);
    layout->addLayout(buttons);
    resize(760, 520);
    gui::ApplyFormFont(this);
    fitColumnsToCaptions(ColPrice, 80);

    connect(cmdUpload, &QPushButton::clicked, this, [this] { transferSinglePage("departments", link::Direction::Read); });
    connect(cmdDownload, &QPushButton::clicked, this,
            [this] { transferSinglePage("departments", link::Direction::Write); });
    connect(cmdAdd, &QPushButton::clicked, this, &DepartForm::cmdAdd_Click);
    connect(cmdModify, &QPushButton::clicked, this, &DepartForm::cmdModify_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &DepartForm::cmdDelete_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);

    FillList();
}

QString DepartForm::KitchenValue(long long value) {
    const int id = KitchenCaptionId(value);
    return id ? Caption(id) : QString();
}

void DepartForm::setRowTexts(QTreeWidgetItem* row, const DepartFields& f) {
    row->setText(ColId, QString::number(f.id));
    row->setText(ColName, QString::fromStdString(TrimBlanks(f.name)));
    row->setText(ColPrice, AmountText(NumericValue(f.price), 2));
    row->setText(ColDiscount, f.discounten ? Caption(111232) : QString());
    row->setText(ColTax, PlainNumber(NumericValue(f.taxRate)));
    row->setText(ColKitchen, KitchenValue(f.kitchenEn));
    row->setData(0, kKeyRole, QStringLiteral("K%1").arg(f.id));
}

QTreeWidgetItem* DepartForm::addRow(const DepartFields& f) {
    auto* row = new QTreeWidgetItem(list());
    setRowTexts(row, f);
    return row;
}

void DepartForm::FillList() {
    list()->clear();
    Trapped(this, where("FillList"), [this] {
        const db::Rows rows = Db().query("SELECT id, name, price, DiscountEn, tax, KitchenEn FROM depart ORDER BY id");
        for (const auto& r : rows.rows) {
            auto* row = new QTreeWidgetItem(list());
            row->setText(ColId, QString::fromStdString(r[0].toText()));
            row->setText(ColName, QString::fromStdString(r[1].toText()));
            row->setText(ColPrice, AmountText(r[2].toDouble(), 2));
            row->setText(ColDiscount, r[3].toInt() ? Caption(111232) : QString());
            row->setText(ColTax, PlainNumber(r[4].toDouble()));
            row->setText(ColKitchen, r[5].isNull() ? QString() : KitchenValue(r[5].toInt()));
            row->setData(0, kKeyRole, QStringLiteral("K") + row->text(ColId));
        }
    });
}

void DepartForm::cmdAdd_Click() {
    const std::optional<int> next = nextIdOrRefuse("depart", 111112);
    if (!next) return;
    DepartEntryForm entry(this, false, *next);
    entry.exec();
}

void DepartForm::cmdModify_Click() {
    QTreeWidgetItem* row = selectedRow();
    if (!row) return;
    DepartEntryForm entry(this, true, row->text(ColId).toInt());
    entry.exec();
}

void DepartForm::cmdDelete_Click() {
    deleteSelectedRow(111124, 111125, Prompter::Icon::Information,
                      [](const QTreeWidgetItem& row) { DeleteDepart(Db(), row.text(ColId).toLongLong()); });
}

// ---- frmDepart_S ------------------------------------------------------------------

DepartEntryForm::DepartEntryForm(DepartForm* list, bool modify, int id)
    : EntryForm("frmDepart_S", list), list_(list), id_(id) {
    setModify(modify);
    setWindowTitle(Caption(111032));
    auto* heading = MakeLabel(this, "Label1", 111032, false);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    lblDepartID_ = new QLabel(QString::number(id), this);
    lblDepartID_->setObjectName("lblDepartID");
    txtDepartName_ = MakeField(this, "txtDepartName", EntryRule::Text);
    txtPrice_ = MakeField(this, "txtPrice", EntryRule::Decimal);
    txtTaxRate_ = MakeField(this, "txtTaxRate", EntryRule::Decimal);
    chkDiscountEn_ = MakeCheckBox(this, "chkDiscountEn", 111037);
    cboKitchenEn_ = new QComboBox(this);
    cboKitchenEn_->setObjectName("cboKitchenEn");
    for (int c = 111487; c <= 111490; ++c) cboKitchenEn_->addItem(Caption(c));
    cboKitchenEn_->setCurrentIndex(1);

    auto* grid = new QGridLayout;
    grid->addWidget(heading, 0, 0, 1, 2);
    grid->addWidget(MakeLabel(this, "Label2", 111033), 1, 0);
    grid->addWidget(lblDepartID_, 1, 1);
    grid->addWidget(MakeLabel(this, "Label3", 111034), 2, 0);
    grid->addWidget(txtDepartName_, 2, 1);
    grid->addWidget(MakeLabel(this, "Label4", 111035), 3, 0);
    grid->addWidget(txtPrice_, 3, 1);
    grid->addWidget(MakeLabel(this, "Label5", 111386), 4, 0);
    grid->addWidget(txtTaxRate_, 4, 1);
    grid->addWidget(chkDiscountEn_, 5, 1);
    grid->addWidget(MakeLabel(this, "Label6", 111385), 6, 0);
    grid->addWidget(cboKitchenEn_, 6, 1);
    grid->setColumnMinimumWidth(1, 220);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(saveButton());
    buttons->addWidget(cancelButton());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setTabOrder(txtDepartName_, txtPrice_);
    setTabOrder(txtPrice_, txtTaxRate_);
    setTabOrder(txtTaxRate_, chkDiscountEn_);
    setTabOrder(chkDiscountEn_, cboKitchenEn_);
    setTabOrder(cboKitchenEn_, saveButton());
    setTabOrder(saveButton(), cancelButton());
    gui::ApplyFormFont(this);

    if (modify) {
        if (QTreeWidgetItem* row = list_->selectedRow()) {
            txtDepartName_->setText(row->text(ColName));
            txtPrice_->setText(row->text(ColPrice));
            txtTaxRate_->setText(row->text(ColTax));
            chkDiscountEn_->setChecked(!row->text(ColDiscount).isEmpty());
        }
        Trapped(this, "frmDepart_S_Form_Load", [&] { storedKitchen_ = StoredKitchenEn(Db(), id); });
        // A value the combo has no item for shows none and is kept on saving.
        cboKitchenEn_->setCurrentIndex(storedKitchen_ >= 0 && storedKitchen_ <= 3 ? static_cast<int>(storedKitchen_) : -1);
    }
    txtDepartName_->setFocus();
}

DepartFields DepartEntryForm::fields() const {
    DepartFields f;
    f.id = id_;
    f.name = txtDepartName_->text().toStdString();
    f.price = txtPrice_->text().toStdString();
    f.taxRate = txtTaxRate_->text().toStdString();
    f.discounten = chkDiscountEn_->isChecked() ? 1 : 0;
    const int k = cboKitchenEn_->currentIndex();
    f.kitchenEn = k >= 0 ? k : static_cast<int>(storedKitchen_);
    return f;
}

void DepartEntryForm::save() {
    const DepartFields f = fields();
    if (const auto failure = CheckDepartFields(f)) {
        refuse(*failure, txtDepartName_);
        return;
    }
    if (isModify()) {
        if (!Trapped(this, "frmDepart_S_cmdSave_Click", [&] { UpdateDepart(Db(), f); })) return;
        if (QTreeWidgetItem* row = list_->selectedRow()) DepartForm::setRowTexts(row, f);
        accept();
        return;
    }
    if (!Trapped(this, "frmDepart_S_cmdSave_Click", [&] { AddDepart(Db(), f); })) return;
    list_->addRow(f);
    const std::optional<int> next = anotherId("frmDepart_S_cmdSave_Click", "depart");
    if (!next) return;
    id_ = *next;
    lblDepartID_->setText(QString::number(id_));
    txtDepartName_->clear();
    txtPrice_->setText(QStringLiteral("0"));
    txtDepartName_->setFocus();
}

} // namespace ecr::editors
