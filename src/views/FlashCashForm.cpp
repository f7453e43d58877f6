#include "FlashCashForm.h"

#include "FlashCash.h"
#include "ui/Controls.h"
#include "ui/ErrorTrap.h"
#include "ui/Languages.h"
#include "ui/Texts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ecr::views {

using namespace ecr::ui;

FlashCashForm::FlashCashForm(QWidget* parent) : ListForm("frmFlashCash", 111547, parent) {
    createList({120600, 120601});
    list()->header()->resizeSection(0, 200);
    list()->header()->resizeSection(1, 140);
    auto* cmdUpload = MakeButton(this, "cmdUpload", 111014);
    auto* cmdDelAll = MakeButton(this, "cmdDelAll", 111357);
    auto* cmdExit = MakeButton(this, "cmdExit", 111019);
    transfer_ = new SinglePageTransfer(*this, "flashcash");

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdUpload, cmdDelAll, cmdExit}) buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list(), 1);
    layout->addLayout(buttons);
    resize(420, 420);
    ApplyFormFont(this);

    connect(cmdUpload, &QPushButton::clicked, this, [this] { transfer_->start(link::Direction::Read); });
    connect(cmdDelAll, &QPushButton::clicked, this, &FlashCashForm::cmdDelAll_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);

    FillList();
}

void FlashCashForm::FillList() {
    QTreeWidget* l = list();
    l->clear();
    Trapped(this, where("FillList"), [&] {
        QList<QTreeWidgetItem*> items;
        for (const FlashCashRow& r : FlashCashRows(Db())) {
            auto* item = new QTreeWidgetItem({QString::fromStdString(r.name), AmountText(r.total, 2)});
            item->setTextAlignment(1, Qt::AlignTrailing | Qt::AlignVCenter);
            items << item;
        }
        l->addTopLevelItems(items);
    });
}

void FlashCashForm::cmdDelAll_Click() {
    // The totals live on in the register: a read brings them back, so
    // nothing is asked.
    Trapped(this, where("cmdDelAll_Click"), [] { DeleteFlashCash(Db()); });
    FillList();
}

} // namespace ecr::views
