#include "FiscalForm.h"

#include "FiscalQueries.h"
#include "Log.h"
#include "ui/Controls.h"
#include "ui/ErrorTrap.h"
#include "ui/Languages.h"
#include "ui/ProgressPanel.h"
#include "ui/Texts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ecr::views {

using namespace ecr::ui;

namespace {

constexpr int kKeyRole = Qt::UserRole;
// fday, saleprice, refundprice, taxprice, bill, refundnum
const std::vector<int> kColumns = {111363, 111364, 111365, 111382, 111366, 111367};

} // namespace

FiscalForm::FiscalForm(QWidget* parent) : ListForm("frmFiscal", 111360, parent) {
    auto* label2 = MakeLabel(this, "Label2", 111362, false);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName("TreeView1");
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    tree_->setRootIsDecorated(false);
    auto* label1 = MakeLabel(this, "Label1", 111361, false);
    createList(kColumns);
    const PageRange range = MakePageRange(this);
    startPage_ = range.start;
    endPage_ = range.end;
    auto* cmdUpload = MakeButton(this, "cmdUpload", 111014);
    auto* cmdExcel = MakeButton(this, "cmdExcel", 111315);
    auto* cmdExit = MakeButton(this, "cmdExit", 111019);
    createProgressPanel();
    paged_ = new PagedTransfer(*this, "fiscal", progressPanel(), startPage_, endPage_);

    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(label2);
    leftLayout->addWidget(tree_);
    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(label1);
    rightLayout->addWidget(list());
    auto* split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    split->setSizes({160, 640});

    auto* pages = new QHBoxLayout;
    range.addTo(pages);
    pages->addStretch(1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdUpload, cmdExcel, cmdExit}) buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(pages);
    layout->addLayout(buttons);
    layout->addWidget(progressPanel());
    resize(820, 560);
    ApplyFormFont(this);
    fitColumnsToCaptions(0, 90);

    connect(tree_, &QTreeWidget::itemClicked, this, [this] { FillList(); });
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this] {
        // A mouse click arrives as itemClicked; this is the keyboard.
        if (QApplication::mouseButtons() == Qt::NoButton) FillList();
    });
    connect(cmdUpload, &QPushButton::clicked, paged_, &PagedTransfer::upload);
    connect(cmdExcel, &QPushButton::clicked, this, &FiscalForm::cmdExcel_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);

    FillTree();
}

void FiscalForm::FillTree() {
    QTreeWidgetItem* node = tree_->currentItem();
    const QString keep = node ? node->data(0, kKeyRole).toString() : QString();
    std::vector<std::string> dates;
    Trapped(this, where("FillTree"), [&] { dates = FiscalDates(Db()); });
    {
        QSignalBlocker block(tree_);
        tree_->clear();
        QTreeWidgetItem* chosen = nullptr;
        for (const std::string& d : dates) {
            auto* item = new QTreeWidgetItem(tree_, {QString::fromStdString(FiscalDateText(d))});
            item->setData(0, kKeyRole, QString::fromStdString(d));
            if (item->data(0, kKeyRole).toString() == keep) chosen = item;
        }
        tree_->setCurrentItem(chosen);
    }
    qCDebug(lcViews) << "frmFiscal dates:" << dates.size();
    FillList();
}

void FiscalForm::FillList() {
    QTreeWidget* l = list();
    l->clear();
    QTreeWidgetItem* node = tree_->currentItem();
    if (!node) return;
    const std::string date = node->data(0, kKeyRole).toString().toStdString();
    Trapped(this, where("FillList"), [&] {
        const db::Rows rows = FiscalRecordsOf(Db(), date);
        QList<QTreeWidgetItem*> items;
        for (const auto& r : rows.rows) {
            auto* item = new QTreeWidgetItem({QString::number(r[0].toInt()), AmountText(r[1].toDouble(), 2),
                                              AmountText(r[2].toDouble(), 2), AmountText(r[3].toDouble(), 2),
                                              QString::number(r[4].toInt()), QString::number(r[5].toInt())});
            for (int c = 0; c < item->columnCount(); ++c) item->setTextAlignment(c, Qt::AlignTrailing | Qt::AlignVCenter);
            items << item;
        }
        l->addTopLevelItems(items);
    });
}

void FiscalForm::cmdExcel_Click() {
    long long count = 0;
    if (!Trapped(this, where("ExportToExcel"), [&] { count = FiscalCount(Db()); })) return;
    exportSheet(
        [] {
            std::vector<std::string> captions;
            for (int id : {111362, 111363, 111364, 111365, 111382, 111366, 111367})
                captions.push_back(Text(id).toStdString());
            return FiscalExportSheet(Db(), Text(111360).toStdString(), captions);
        },
        count);
}

} // namespace ecr::views
