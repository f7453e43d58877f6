#include "PluForm.h"

#include "app/AppState.h"
#include "app/GlobalFunc.h"
#include "db/Database.h"
#include "app/Config.h"
#include "ui/Controls.h"
#include "ui/FieldTable.h"
#include "ui/ErrorTrap.h"
#include "ui/Languages.h"
#include "ui/ProgressPanel.h"
#include "ui/Texts.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ecr::editors {

using namespace ecr::ui;

namespace {

constexpr int kKeyRole = Qt::UserRole;

// List columns: id, name, department, price, member price, average price,
// safe stock, stock value, flag.
enum Column { ColId, ColName, ColDepart, ColPrice, ColMemberPrice, ColAveragePrice, ColSafeStock, ColStock, ColFlag };

QString key(const QTreeWidgetItem* item) { return item ? item->data(0, kKeyRole).toString() : QString(); }

QString flagText(long long a0) { return a0 == 0 ? QString() : Text(111232); }

std::string typed(const QLineEdit* e) { return e->text().toStdString(); }

constexpr int kDecimalsFromParams = 120830;  // "%1 in prices, as the register's parameters say"
constexpr int kDecimalsByDefault = 120831;   // "%1 in prices: the default, ..."
constexpr int kNothingFound = 120832;        // "No PLU found for "%1"."

// The texts of a list row from the list query's columns: id, name, price,
// depart, safestock, stockvalue, a0, memberprice, AveragePrice.
QStringList rowTexts(const std::vector<db::Value>& r) {
    return {QString::fromStdString(r[0].toText()), QString::fromStdString(r[1].toText()), QString::number(r[3].toInt()),
            AmountText(r[2].toDouble(), 2),        AmountText(r[7].toDouble(), 2),        AmountText(r[8].toDouble(), 2),
            AmountText(r[4].toDouble(), 3),        AmountText(r[5].toDouble(), 3),        flagText(r[6].toInt())};
}

} // namespace

// ---- frmPLU -------------------------------------------------------------------

PluForm::PluForm(QWidget* parent) : ListForm("frmPLU", 110020, parent) {
    auto* label1 = MakeLabel(this, "Label1", 111071, false);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName("TreeView1");
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);

    auto* label2 = MakeLabel(this, "Label2", 111072, false);
    position_ = new QLabel(this);
    position_->setObjectName("Label3");
    createList({111074, 111075, 111076, 111077, 111448, 111449, 111078, 111079, 111080});
    setNumberColumns({ColDepart, ColPrice, ColMemberPrice, ColAveragePrice, ColSafeStock, ColStock});
    setColumnMinimum(ColId, 100);
    setColumnMinimum(ColName, 150);

    auto* cmdFirst = MakeButton(this, "cmdFirst", QStringLiteral("|<"));
    auto* cmdPrev = MakeButton(this, "cmdPrev", QStringLiteral("<"));
    auto* cmdNext = MakeButton(this, "cmdNext", QStringLiteral(">"));
    auto* cmdLast = MakeButton(this, "cmdLast", QStringLiteral(">|"));

    auto* label36 = MakeLabel(this, "Label36", 111424);
    decimals_ = new QLabel(this);
    decimals_->setObjectName("Label6");
    const PageRange range = MakePageRange(this);
    startPage_ = range.start;
    endPage_ = range.end;

    auto* cmdUpload = MakeButton(this, "cmdUpload", 111014);
    auto* cmdDownload = MakeButton(this, "cmdDownload", 111015);
    auto* cmdAdd = MakeButton(this, "cmdAdd", 111017);
    auto* cmdModify = MakeButton(this, "cmdModify", 111018);
    auto* cmdDelete = MakeButton(this, "cmdDelete", 111016);
    auto* cmdDelAll = MakeButton(this, "cmdDelAll", 111357);
    auto* cmdSearch = MakeButton(this, "cmdSearch", 111387);
    auto* cmdExcel = MakeButton(this, "cmdExcel", 111315);
    auto* cmdExit = MakeButton(this, "cmdExit", 111019);
    createProgressPanel();
    paged_ = new PagedTransfer(*this, "plu", progressPanel(), startPage_, endPage_);

    // Layout: tree | list with its paging row; settings; buttons; progress.
    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(label1);
    leftLayout->addWidget(tree_);
    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto* heading = new QHBoxLayout;
    heading->addWidget(label2);
    heading->addStretch(1);
    heading->addWidget(position_);
    rightLayout->addLayout(heading);
    rightLayout->addWidget(list());
    auto* paging = new QHBoxLayout;
    paging->addStretch(1);
    for (QPushButton* b : {cmdFirst, cmdPrev, cmdNext, cmdLast}) {
        b->setMaximumWidth(48);
        paging->addWidget(b);
    }
    rightLayout->addLayout(paging);
    auto* split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    split->setSizes({200, 760});

    auto* settings = new QHBoxLayout;
    settings->addWidget(label36);
    settings->addWidget(decimals_);
    settings->addSpacing(24);
    range.addTo(settings);
    settings->addStretch(1);
    auto* buttons = new QGridLayout;
    int col = 0;
    for (QPushButton* b : {cmdUpload, cmdDownload, cmdAdd, cmdModify, cmdDelete, cmdDelAll, cmdSearch, cmdExcel, cmdExit})
        buttons->addWidget(b, 0, col++);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(settings);
    layout->addLayout(buttons);
    layout->addWidget(progressPanel());
    resize(980, 620);
    ApplyFormFont(this);
    fitColumnsToCaptions(ColDepart, 64);

    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { nodeClicked(node); });
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
        // A mouse click arrives as itemClicked; this is the keyboard.
        if (QApplication::mouseButtons() == Qt::NoButton) nodeClicked(node);
    });
    connect(list(), &QTreeWidget::itemDoubleClicked, this, [this] {
        if (selectedRow()) openEntry(true);
    });
    connect(cmdFirst, &QPushButton::clicked, this, [this] { FillData("first"); });
    connect(cmdPrev, &QPushButton::clicked, this, [this] { FillData("prev"); });
    connect(cmdNext, &QPushButton::clicked, this, [this] { FillData("next"); });
    connect(cmdLast, &QPushButton::clicked, this, [this] { FillData("last"); });
    connect(cmdUpload, &QPushButton::clicked, paged_, &PagedTransfer::upload);
    connect(cmdDownload, &QPushButton::clicked, paged_, &PagedTransfer::download);
    connect(cmdAdd, &QPushButton::clicked, this, [this] { openEntry(false); });
    connect(cmdModify, &QPushButton::clicked, this, &PluForm::cmdModify_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &PluForm::cmdDelete_Click);
    connect(cmdDelAll, &QPushButton::clicked, this, &PluForm::cmdDelAll_Click);
    connect(cmdSearch, &QPushButton::clicked, this, &PluForm::cmdSearch_Click);
    connect(cmdExcel, &QPushButton::clicked, this, &PluForm::cmdExcel_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);

    showDecimalPlaces();
    FillTree();
    FillData("first");
}

void PluForm::showDecimalPlaces() {
    // The decimals prices are read and written with, and where that comes from.
    Trapped(this, where("Form_Load"), [this] {
        const bool fromParams = !Db().query("SELECT PointEn FROM params LIMIT 1").empty();
        const int decimals = GetDecimalPlaces(Db());
        decimals_->setText(QString::fromStdString(SubstituteArgs(
            Text(fromParams ? kDecimalsFromParams : kDecimalsByDefault).toStdString(), {std::to_string(decimals)})));
    });
}

void PluForm::FillTree() {
    QSignalBlocker block(tree_);
    tree_->clear();
    auto* root = new QTreeWidgetItem(tree_, {Text(111032)});
    root->setData(0, kKeyRole, QStringLiteral("root"));
    auto* all = new QTreeWidgetItem(root, {QStringLiteral(" ( ") + Text(111171) + QStringLiteral(" ) ")});
    all->setData(0, kKeyRole, QStringLiteral("all"));
    Trapped(this, where("FillTree"), [&] {
        const db::Rows rows = Db().query("SELECT id, name FROM depart ORDER BY id");
        for (const auto& r : rows.rows) {
            auto* node = new QTreeWidgetItem(root, {QString::fromStdString(r[0].toText() + " - " + r[1].toText())});
            node->setData(0, kKeyRole, QStringLiteral("id") + QString::fromStdString(r[0].toText()));
        }
    });
    root->setExpanded(true);
    // The list opens on every PLU rather than empty.
    tree_->setCurrentItem(all);
}

std::optional<long long> PluForm::selectedDepartment() const {
    const QString k = key(tree_->currentItem());
    if (!k.startsWith(QLatin1String("id"))) return std::nullopt;
    return k.mid(2).toLongLong();
}

void PluForm::nodeClicked(QTreeWidgetItem* node) {
    if (!node || key(node) == QLatin1String("root")) return;
    searchId.clear();
    searchName.clear();
    FillData("first");
}

void PluForm::showSearch(bool byCode, const QString& text) {
    {
        QSignalBlocker block(tree_);
        tree_->setCurrentItem(tree_->topLevelItem(0));
    }
    searchId = byCode ? text : QString();
    searchName = byCode ? QString() : text;
    FillData("first");
}

void PluForm::FillData(const QString& direction) {
    const auto move = ParsePageMove(direction.toStdString());
    QTreeWidgetItem* node = tree_->currentItem();
    if (!move || !node) return;
    PluFilter filter;
    const QString k = key(node);
    if (k == QLatin1String("all")) {
        filter.kind = PluFilter::Kind::All;
    } else if (k.startsWith(QLatin1String("id"))) {
        filter.kind = PluFilter::Kind::Depart;
        filter.value = k.mid(2).toStdString();
    } else if (!searchId.isEmpty()) {
        filter.kind = PluFilter::Kind::Code;
        filter.value = searchId.toStdString();
    } else if (!searchName.isEmpty()) {
        filter.kind = PluFilter::Kind::Name;
        filter.value = searchName.toStdString();
    } else {
        return;
    }
    bool empty = false;
    Trapped(this, where("FillData"), [&] {
        db::Params params;
        const std::string sql = PluListSql(filter, params);
        const db::Page page = FetchListPage(Db(), sql, params, *move, currentPage_);
        QTreeWidget* l = list();
        l->setUpdatesEnabled(false);
        l->clear();
        empty = page.page == 0;
        if (!empty) {
            currentPage_ = page.page;
            QList<QTreeWidgetItem*> items;
            items.reserve(static_cast<qsizetype>(page.rows.size()));
            for (const auto& r : page.rows.rows) {
                auto* item = new QTreeWidgetItem(rowTexts(r));
                item->setData(0, kKeyRole, QStringLiteral("id") + item->text(ColId));
                items << item;
            }
            l->addTopLevelItems(items);
        }
        // An empty list shows no page of none, not the page it showed before.
        position_->setText(LeftToRight(QString::fromStdString(empty ? PositionLabel(0, 0)
                                                                    : PositionLabel(page.page, page.pageCount))));
        l->setUpdatesEnabled(true);
    });
    const bool searching = filter.kind == PluFilter::Kind::Code || filter.kind == PluFilter::Kind::Name;
    if (empty && searching && move == PageMove::First)
        InformText(this, QString::fromStdString(SubstituteArgs(Text(kNothingFound).toStdString(), {filter.value})));
}

void PluForm::refresh() {
    // The same node and page, with what the tables hold now.
    const QString node = key(tree_->currentItem());
    FillTree();
    QTreeWidgetItem* root = tree_->topLevelItem(0);
    QSignalBlocker block(tree_);
    if (node == QLatin1String("root")) {
        tree_->setCurrentItem(root);
    } else {
        for (int i = 0; i < root->childCount(); ++i)
            if (key(root->child(i)) == node) tree_->setCurrentItem(root->child(i));
    }
    FillData("stay");
}

void PluForm::reloadAfterRead() {
    FillTree();
    FillData("first");
}

QTreeWidgetItem* PluForm::showStoredRow(const std::string& id, QTreeWidgetItem* row) {
    db::Params params;
    const std::string sql = PluListSql({PluFilter::Kind::Code, id}, params);
    const db::Rows rows = Db().query(sql, params);
    if (rows.empty()) return row;
    if (!row) row = new QTreeWidgetItem(list());
    const QStringList texts = rowTexts(rows.rows[0]);
    for (int c = 0; c < texts.size(); ++c) row->setText(c, texts[c]);
    row->setData(0, kKeyRole, QStringLiteral("id") + texts[ColId]);
    return row;
}

void PluForm::openEntry(bool modify) {
    PluEntryForm entry(this, modify);
    entry.exec();
}

void PluForm::cmdModify_Click() {
    if (!selectedRow()) {
        Inform(this, 111168);
        return;
    }
    openEntry(true);
}

void PluForm::cmdDelete_Click() {
    if (deleteSelectedRow(111168, 111169, Prompter::Icon::Exclamation, [](const QTreeWidgetItem& row) {
            Db().execute("DELETE FROM plu WHERE id=?", {row.text(ColId).toStdString()});
        }))
        Inform(this, 111170);
}

void PluForm::cmdDelAll_Click() {
    // Every PLU goes, whatever the tree shows: the question says how many.
    long long count = 0;
    if (!Trapped(this, where("cmdDelAll_Click"), [&] { count = Db().scalar("SELECT count(*) FROM plu").toInt(); }))
        return;
    const QString what = QString::fromStdString(SubstituteArgs(Text(120200).toStdString(), {std::to_string(count)}));
    if (!ConfirmDestructive(this, 111358, Prompter::Icon::Exclamation, what)) return;
    if (!Trapped(this, where("cmdDelAll_Click"), [] { Db().execute("DELETE FROM plu"); })) return;
    list()->clear();
    Inform(this, 111170);
}

void PluForm::cmdSearch_Click() {
    PluSearchForm search(this);
    search.exec();
}

void PluForm::cmdExcel_Click() {
    long long count = 0;
    if (!Trapped(this, where("ExportToExcel"), [&] { count = Db().scalar("SELECT count(*) FROM plu").toInt(); }))
        return;
    exportSheet(
        [] {
            std::vector<std::string> captions;
            for (int id : {111307, 111308, 111309, 111310, 111448, 111449, 111311, 111312, 111313})
                captions.push_back(Text(id).toStdString());
            // The yes/no words follow the language stored in the database.
            return PluExportSheet(Db(), StoredLanguage(Db()), captions);
        },
        count);
}

// ---- frmPLU_S -------------------------------------------------------------------

PluEntryForm::PluEntryForm(PluForm* list, bool modify) : EntryForm("frmPLU_S", list), list_(list) {
    setModify(modify);
    setWindowTitle(Text(111073));
    txtId_ = MakeField(this, "txtId", EntryRule::Code);
    txtName_ = MakeField(this, "txtName", EntryRule::Text);
    txtDepart_ = MakeField(this, "txtDepart", EntryRule::DigitsMoveOn);
    txtPrice_ = MakeField(this, "txtPrice", EntryRule::Decimal);
    txtMemberPrice_ = MakeField(this, "txtMemberPrice", EntryRule::Decimal);
    txtAveragePrice_ = MakeField(this, "txtAveragePrice", EntryRule::Decimal);
    txtSafeStock_ = MakeField(this, "txtSafeStock", EntryRule::DigitsMoveOn);
    txtStockValue_ = MakeField(this, "txtStockValue", EntryRule::DigitsMoveOn);
    cboA0_ = new QComboBox(this);
    cboA0_->setObjectName("cboA0");
    cboA0_->addItems({Text(111233), Text(111232)});
    cboA0_->setCurrentIndex(0);

    struct Row {
        const char* label;
        int caption;
        QWidget* field;
    };
    const Row rows[] = {
        {"Label1", 111074, txtId_},        {"Label2", 111075, txtName_},          {"Label3", 111076, txtDepart_},
        {"Label4", 111077, txtPrice_},     {"Label8", 111448, txtMemberPrice_},   {"Label9", 111449, txtAveragePrice_},
        {"Label5", 111078, txtSafeStock_}, {"Label6", 111079, txtStockValue_},    {"Label7", 111080, cboA0_},
    };
    auto* grid = new QGridLayout;
    int r = 0;
    for (const Row& row : rows) {
        grid->addWidget(MakeLabel(this, row.label, row.caption), r, 0);
        grid->addWidget(row.field, r++, 1);
    }
    grid->setColumnMinimumWidth(1, 220);
    auto* buttons = TrailingButtons({saveButton(), cancelButton()});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    for (int i = 0; i + 1 < static_cast<int>(std::size(rows)); ++i) setTabOrder(rows[i].field, rows[i + 1].field);
    setTabOrder(cboA0_, saveButton());
    setTabOrder(saveButton(), cancelButton());
    ApplyFormFont(this);

    QTreeWidgetItem* row = modify ? list_->selectedRow() : nullptr;
    if (row) {
        txtId_->setText(row->text(ColId));
        txtId_->setEnabled(false);
        QLineEdit* fields[] = {txtName_, txtDepart_, txtPrice_, txtMemberPrice_, txtAveragePrice_, txtSafeStock_,
                               txtStockValue_};
        for (int i = 0; i < 7; ++i) fields[i]->setText(row->text(ColName + i));
        cboA0_->setCurrentIndex(row->text(ColFlag).isEmpty() ? 0 : 1);
        txtName_->setFocus();
    } else {
        if (auto depart = list_->selectedDepartment()) txtDepart_->setText(QString::number(*depart));
        txtId_->setFocus();
    }
}

PluFields PluEntryForm::fields() const {
    PluFields f;
    f.id = typed(txtId_);
    f.name = typed(txtName_);
    f.depart = typed(txtDepart_);
    f.price = typed(txtPrice_);
    f.memberPrice = typed(txtMemberPrice_);
    f.averagePrice = typed(txtAveragePrice_);
    f.safeStock = typed(txtSafeStock_);
    f.stockValue = typed(txtStockValue_);
    f.a0 = cboA0_->currentIndex() == 1 ? 1 : 0;
    return f;
}

void PluEntryForm::save() {
    const PluFields f = fields();
    int decimals = 2;
    if (!Trapped(this, "frmPLU_S_cmdSave_Click", [&] { decimals = GetDecimalPlaces(Db()); })) return;
    if (const auto failure = CheckPluFields(f, decimals)) {
        QLineEdit* field = findChild<QLineEdit*>(QString::fromStdString(failure->field));
        if (failure->problem)
            refuseText(LimitMessage(failure->caption, *failure->problem), field);
        else
            refuse(failure->messageId, field);
        return;
    }
    // The list shows the row as stored, as a fill would.
    const std::string id = TrimBlanks(f.id);
    if (isModify()) {
        if (!Trapped(this, "frmPLU_S_cmdSave_Click", [&] { UpdatePlu(Db(), f); })) return;
        if (QTreeWidgetItem* row = list_->selectedRow())
            Trapped(this, "frmPLU_S_cmdSave_Click", [&] { list_->showStoredRow(id, row); });
        accept();
        return;
    }
    std::optional<int> refused;
    if (!Trapped(this, "frmPLU_S_cmdSave_Click", [&] { refused = AddPlu(Db(), f); })) return;
    if (refused) {
        Inform(this, *refused);
        // A code already taken is corrected in the code box, as the other entry forms do.
        if (*refused == 111401) FocusField(txtId_);
        return;
    }
    Trapped(this, "frmPLU_S_cmdSave_Click", [&] { list_->showStoredRow(id, nullptr); });
    if (!askAnother(111179, Prompter::Icon::Exclamation)) {
        accept();
        return;
    }
    txtId_->clear();
    txtName_->clear();
    for (QLineEdit* e : {txtPrice_, txtSafeStock_, txtStockValue_}) e->setText(QStringLiteral("0"));
    cboA0_->setCurrentIndex(1);
    txtId_->setFocus();
}

// ---- frmPLUSearch ---------------------------------------------------------------

PluSearchForm::PluSearchForm(PluForm* list) : QDialog(list), list_(list) {
    setObjectName("frmPLUSearch");
    setWindowTitle(Text(111387));
    byCode_ = new QRadioButton(Text(111307), this);
    byCode_->setObjectName("Option1");
    byCode_->setChecked(true);
    byName_ = new QRadioButton(Text(111308), this);
    byName_->setObjectName("Option2");
    auto* label = MakeLabel(this, "Label1", 111388);
    text_ = new QLineEdit(this);
    text_->setObjectName("txtPlu");
    auto* cmdSearch = MakeButton(this, "cmdSearch", 111387);
    cmdSearch->setDefault(true); // Enter in the text searches
    auto* cmdCancel = MakeButton(this, "cmdCancel", 111010);

    auto* options = new QHBoxLayout;
    options->addWidget(byCode_);
    options->addWidget(byName_);
    options->addStretch(1);
    auto* field = new QHBoxLayout;
    field->addWidget(label);
    field->addWidget(text_, 1);
    auto* buttons = TrailingButtons({cmdSearch, cmdCancel});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(options);
    layout->addLayout(field);
    layout->addLayout(buttons);
    setMinimumWidth(360);
    ApplyFormFont(this);
    text_->setFocus();

    connect(cmdSearch, &QPushButton::clicked, this, &PluSearchForm::cmdSearch_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void PluSearchForm::cmdSearch_Click() {
    list_->showSearch(byCode_->isChecked(), text_->text());
    accept();
}

} // namespace ecr::editors
