#include "SaleDataForm.h"

#include "JournalQueries.h"
#include "Log.h"
#include "app/AppState.h"
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
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ecr::views {

using namespace ecr::ui;

namespace {

constexpr int kKeyRole = Qt::UserRole;

QString cell(const db::Value& v) { return QString::fromStdString(v.toText()); }

// Bills: billnumber, date, cashier, quantity total, amount total.
QString billCell(const PagedListModel::Row& r, int column) {
    switch (column) {
    case 3: return AmountText(r[3].toDouble(), 0);
    case 4: return AmountText(r[4].toDouble(), 2);
    default: return cell(r[static_cast<std::size_t>(column)]);
    }
}

// Lines are read as pluid, depart, price, quantity, operation, opentable and
// shown with the quantity before the line's amount, under their captions.
QString lineCell(const PagedListModel::Row& r, int column) {
    switch (column) {
    case 2: return AmountText(r[3].toDouble(), 0);
    case 3: return AmountText(r[2].toDouble(), 2);
    case 4: return QString::fromStdString(OperationText(r[4].toInt()));
    default: return cell(r[static_cast<std::size_t>(column)]);
    }
}

QTreeView* makeListView(QWidget* parent, const char* name, PagedListModel* model) {
    auto* v = new QTreeView(parent);
    v->setObjectName(QString::fromLatin1(name));
    v->setModel(model);
    v->setRootIsDecorated(false);
    v->setUniformRowHeights(true);
    v->setAllColumnsShowFocus(true);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->header()->setStretchLastSection(false);
    v->header()->setDefaultSectionSize(100);
    return v;
}

std::vector<PagedListModel::Column> columns(std::initializer_list<std::pair<int, bool>> captions) {
    std::vector<PagedListModel::Column> out;
    for (const auto& [id, number] : captions) out.push_back({Text(id), number});
    return out;
}

} // namespace

SaleDataForm::SaleDataForm(QWidget* parent) : ListForm("frmSaleData", 110030, parent) {
    tree_ = new QTreeWidget(this);
    tree_->setObjectName("TreeView1");
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);

    billModel_ = new PagedListModel(
        columns({{111185, false}, {111186, false}, {111011, true}, {111191, true}, {111192, true}}), billCell, this);
    lineModel_ = new PagedListModel(columns({{111187, false},
                                             {111189, true},
                                             {111191, true},
                                             {111192, true},
                                             {111237, false},
                                             {111397, true}}),
                                    lineCell, this);
    bills_ = makeListView(this, "ListView1", billModel_);
    lines_ = makeListView(this, "ListView2", lineModel_);
    lines_->header()->resizeSection(0, 150);
    lines_->header()->resizeSection(4, 150);

    auto* label1 = MakeLabel(this, "Label1", 111105, false);
    auto* label2 = MakeLabel(this, "Label2", 111106, false);
    billPosition_ = new QLabel(this);
    billPosition_->setObjectName("Label5");
    linePosition_ = new QLabel(this);
    linePosition_->setObjectName("Label6");

    // Two arrays of paging buttons: index 0 pages the bills, 1 the lines.
    static const char* const kNames[] = {"cmdFirst", "cmdPrev", "cmdNext", "cmdLast"};
    static const char* const kMarks[] = {"|<", "<", ">", ">|"};
    for (int index = 0; index < 2; ++index)
        for (int m = 0; m < 4; ++m) {
            QPushButton* b = MakeButton(this, kNames[m], QString::fromLatin1(kMarks[m]));
            b->setProperty("index", index);
            b->setMaximumWidth(48);
            paging_[index][m] = b;
            const auto move = static_cast<PageMove>(m);
            connect(b, &QPushButton::clicked, this, [this, index, move] {
                if (index == 0)
                    FillBills(move);
                else
                    FillLines(move);
            });
        }

    auto* label3 = MakeLabel(this, "Label3", 111239, false);
    const PageRange range = MakePageRange(this);
    startPage_ = range.start;
    endPage_ = range.end;
    auto* cmdUpload = MakeButton(this, "cmdUpload", 111014);
    auto* cmdDownload = MakeButton(this, "cmdDownload", 111015);
    auto* cmdFind = MakeButton(this, "cmdFind", 111097);
    auto* cmdExit = MakeButton(this, "cmdExit", 111019);
    createProgressPanel();
    paged_ = new PagedTransfer(*this, "journal", progressPanel(), startPage_, endPage_);

    // Layout: months | bills over lines, each with its position and paging
    // row; the register's pages; buttons; progress.
    auto section = [this](QLabel* heading, QLabel* position, QTreeView* view, int index) {
        auto* w = new QWidget(this);
        auto* v = new QVBoxLayout(w);
        v->setContentsMargins(0, 0, 0, 0);
        auto* top = new QHBoxLayout;
        top->addWidget(heading);
        top->addStretch(1);
        top->addWidget(position);
        v->addLayout(top);
        v->addWidget(view, 1);
        auto* paging = new QHBoxLayout;
        paging->addStretch(1);
        for (QPushButton* b : paging_[index]) paging->addWidget(b);
        v->addLayout(paging);
        return w;
    };
    auto* lists = new QSplitter(Qt::Vertical, this);
    lists->addWidget(section(label1, billPosition_, bills_, 0));
    lists->addWidget(section(label2, linePosition_, lines_, 1));
    auto* split = new QSplitter(this);
    split->addWidget(tree_);
    split->addWidget(lists);
    split->setStretchFactor(1, 1);
    split->setSizes({180, 820});

    auto* pages = new QHBoxLayout;
    pages->addWidget(label3);
    pages->addSpacing(12);
    range.addTo(pages);
    pages->addStretch(1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdUpload, cmdDownload, cmdFind, cmdExit}) buttons->addWidget(b);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(pages);
    layout->addLayout(buttons);
    layout->addWidget(progressPanel());
    resize(1000, 680);
    ApplyFormFont(this);

    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { monthChosen(node); });
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
        // A mouse click arrives as itemClicked; this is the keyboard.
        if (QApplication::mouseButtons() == Qt::NoButton) monthChosen(node);
    });
    connect(bills_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& index) { billChosen(index); });
    connect(cmdUpload, &QPushButton::clicked, paged_, &PagedTransfer::upload);
    connect(cmdDownload, &QPushButton::clicked, paged_, &PagedTransfer::download);
    // Query: what the database holds now, for a journal read meanwhile from
    // elsewhere (ecrctl).
    connect(cmdFind, &QPushButton::clicked, this, &SaleDataForm::FillTree);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);

    FillTree();
}

QString SaleDataForm::chosenMonth() const {
    const QTreeWidgetItem* node = tree_->currentItem();
    if (!node || !node->parent()) return {};
    return node->data(0, kKeyRole).toString();
}

QPushButton* SaleDataForm::pagingButton(PageMove move, int index) const {
    return paging_[index][static_cast<int>(move)];
}

void SaleDataForm::FillTree() {
    const QString keep = chosenMonth();
    std::vector<std::string> months;
    Trapped(this, where("FillTree"), [&] { months = JournalMonths(Db()); });
    QTreeWidgetItem* chosen = nullptr;
    {
        QSignalBlocker block(tree_);
        tree_->clear();
        // The root reads 年月 in Simplified Chinese, Year-Month in English.
        auto* root = new QTreeWidgetItem(tree_, {Text(120602)});
        root->setData(0, kKeyRole, QStringLiteral("root"));
        for (const std::string& m : months) {
            auto* node = new QTreeWidgetItem(root, {QString::fromStdString(m)});
            node->setData(0, kKeyRole, QString::fromStdString(m));
            if (node->text(0) == keep) chosen = node;
        }
        root->setExpanded(true);
        tree_->setCurrentItem(chosen ? chosen : root);
    }
    qCDebug(lcViews) << "frmSaleData months:" << months.size();
    month_.clear();
    if (chosen) {
        monthChosen(chosen);
    } else {
        billModel_->clear();
        lineModel_->clear();
        showPositions();
    }
}

void SaleDataForm::monthChosen(QTreeWidgetItem* node) {
    if (!node || !node->parent()) return; // the root shows nothing
    month_ = node->data(0, kKeyRole).toString();
    qCDebug(lcViews) << "frmSaleData month" << month_;
    Trapped(this, where("TreeView1_NodeClick"), [&] { billModel_->open(Db(), BillQuery(month_.toStdString())); });
    billsShown();
}

void SaleDataForm::FillBills(PageMove move) {
    if (chosenMonth().isEmpty() || chosenMonth() != month_) return;
    Trapped(this, where("FillBills"), [&] { billModel_->move(Db(), move); });
    billsShown();
}

void SaleDataForm::billsShown() {
    lineModel_->clear();
    showPositions();
    // The lines follow the first bill of the page.
    if (billModel_->rowCount() > 0) bills_->setCurrentIndex(billModel_->index(0, 0));
}

void SaleDataForm::billChosen(const QModelIndex& index) {
    if (!index.isValid() || month_.isEmpty()) return;
    const long long bill = billModel_->values(index.row())[0].toInt();
    Trapped(this, where("ListView1_ItemClick"), [&] { lineModel_->open(Db(), LineQuery(month_.toStdString(), bill)); });
    showPositions();
}

void SaleDataForm::FillLines(PageMove move) {
    if (chosenMonth().isEmpty() || chosenMonth() != month_) return;
    Trapped(this, where("FillLines"), [&] { lineModel_->move(Db(), move); });
    showPositions();
}

void SaleDataForm::showPositions() {
    billPosition_->setText(billModel_->position());
    linePosition_->setText(lineModel_->position());
}

void SaleDataForm::setControlsEnabled(bool enabled) {
    SetControlsEnabled(enabled);
    lines_->setEnabled(enabled);
}

} // namespace ecr::views
