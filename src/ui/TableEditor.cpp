#include "TableEditor.h"

#include "Controls.h"
#include "ErrorTrap.h"
#include "Languages.h"
#include "Log.h"
#include "ProgressPanel.h"
#include "Texts.h"
#include "Transfers.h"
#include "app/Config.h"
#include "app/GlobalFunc.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ecr::ui {

namespace {
constexpr int kKeyRole = Qt::UserRole;       // prefix + key, as text
constexpr int kKeyValueRole = Qt::UserRole + 1; // the key as stored: text or number
constexpr int kNotFound = 120554;
}

// ---- list form ---------------------------------------------------------------

TableListForm::TableListForm(const ListDescription& d, QWidget* parent) : ListForm(d.form, d.caption, parent), d_(d) {
    auto* layout = new QVBoxLayout(this);
    if (d_.heading) layout->addWidget(MakeLabel(this, "Label1", d_.heading, false));
    std::vector<int> captions;
    for (const ListColumn& c : d_.columns) captions.push_back(c.caption);
    layout->addWidget(createList(captions), 1);

    const link::KindPlan* plan = d_.transferKind ? link::FindKindPlan(d_.transferKind) : nullptr;
    QLineEdit* startPage = nullptr;
    QLineEdit* endPage = nullptr;
    if (plan && plan->shape == link::Shape::Paged) {
        const PageRange range = MakePageRange(this);
        startPage = range.start;
        endPage = range.end;
        auto* pages = new QHBoxLayout;
        range.addTo(pages);
        pages->addStretch(1);
        layout->addLayout(pages);
    }

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, int caption) {
        QPushButton* b = MakeButton(this, name, caption);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* cmdUpload = plan ? button("cmdUpload", 111014) : nullptr;
    QPushButton* cmdDownload = plan ? button("cmdDownload", 111015) : nullptr;
    QPushButton* cmdAdd = button("cmdAdd", 111017);
    QPushButton* cmdModify = button("cmdModify", 111018);
    QPushButton* cmdDelete = button("cmdDelete", 111016);
    QPushButton* cmdDelAll = d_.confirmDeleteAll ? button("cmdDelAll", 111357) : nullptr;
    QPushButton* cmdExcel = d_.sheet ? button("cmdExcel", 111315) : nullptr;
    QPushButton* cmdExit = button("cmdExit", 111019);
    layout->addLayout(buttons);

    if (plan && plan->shape == link::Shape::Paged) {
        layout->addWidget(createProgressPanel());
        auto* paged = new PagedTransfer(*this, d_.transferKind, progressPanel(), startPage, endPage);
        connect(cmdUpload, &QPushButton::clicked, paged, &PagedTransfer::upload);
        connect(cmdDownload, &QPushButton::clicked, paged, &PagedTransfer::download);
    } else if (plan) {
        // Shows the single page's request busy, and an export.
        layout->addWidget(createProgressPanel());
        auto* single = new SinglePageTransfer(*this, d_.transferKind);
        connect(cmdUpload, &QPushButton::clicked, single, [single] { single->start(link::Direction::Read); });
        connect(cmdDownload, &QPushButton::clicked, single, [single] { single->start(link::Direction::Write); });
    } else if (d_.sheet) {
        layout->addWidget(createProgressPanel());
    }
    if (cmdExcel) connect(cmdExcel, &QPushButton::clicked, this, &TableListForm::cmdExcel_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &TableListForm::cmdAdd_Click);
    connect(cmdModify, &QPushButton::clicked, this, &TableListForm::cmdModify_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &TableListForm::cmdDelete_Click);
    if (cmdDelAll) connect(cmdDelAll, &QPushButton::clicked, this, &TableListForm::cmdDelAll_Click);
    if (d_.doubleClickModifies)
        connect(list(), &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
            list()->setCurrentItem(item);
            cmdModify_Click();
        });
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);

    resize(d_.size);
    ApplyFormFont(this);
    QList<int> numbers;
    for (std::size_t c = 0; c < d_.columns.size(); ++c) {
        const int column = static_cast<int>(c);
        const Shown shown = d_.columns[c].shown;
        if (shown == Shown::Number || shown == Shown::Amount2 || shown == Shown::Amount3) numbers << column;
        if (d_.columns[c].width > 0)
            setColumnMinimum(column, d_.columns[c].width);
        else
            fitColumnToCaption(column, d_.fitMinWidth);
    }
    setNumberColumns(numbers);
    FillList();
}

std::string TableListForm::listSql() const {
    // The key comes last, whether a column shows it or not.
    std::string columns;
    for (const ListColumn& c : d_.columns) columns += std::string(c.column) + ", ";
    return "SELECT " + columns + d_.key + " FROM " + d_.table;
}

void TableListForm::showRow(QTreeWidgetItem* item, const db::Rows& rows, std::size_t r) const {
    for (std::size_t c = 0; c < d_.columns.size(); ++c) {
        const ListColumn& col = d_.columns[c];
        const db::Value& v = rows.at(r, c);
        QString text;
        switch (col.shown) {
        case Shown::Text: text = QString::fromStdString(v.toText()); break;
        case Shown::Number: text = v.isNull() ? QString() : PlainNumber(v.toDouble()); break;
        case Shown::Amount2: text = v.isNull() ? QString() : AmountText(v.toDouble(), 2); break;
        case Shown::Amount3: text = v.isNull() ? QString() : AmountText(v.toDouble(), 3); break;
        case Shown::Mark: text = v.toInt() ? Text(111232) : QString(); break;
        case Shown::Captions: {
            const long long i = v.toInt();
            if (!v.isNull() && i >= 0 && i < static_cast<long long>(col.captions.size()))
                text = Text(col.captions[static_cast<std::size_t>(i)]);
            break;
        }
        case Shown::Date: text = QString::fromStdString(v.toText()).left(10); break;
        case Shown::Lookup: text = col.lookup ? col.lookup(Db(), v) : QString(); break;
        }
        item->setText(static_cast<int>(c), text);
    }
    const db::Value& key = rows.at(r, d_.columns.size());
    item->setData(0, kKeyRole, QString::fromLatin1(d_.keyPrefix) + QString::fromStdString(key.toText()));
    item->setData(0, kKeyValueRole, key.isText() ? QVariant(QString::fromStdString(key.toText()))
                                                 : QVariant(static_cast<qlonglong>(key.toInt())));
}

void TableListForm::FillList() {
    list()->clear();
    Trapped(this, where("FillList"), [this] {
        const db::Rows rows = Db().query(listSql() + " ORDER BY " + d_.order);
        QList<QTreeWidgetItem*> items;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            auto* item = new QTreeWidgetItem;
            showRow(item, rows, r);
            items << item;
        }
        list()->addTopLevelItems(items);
    });
}

QTreeWidgetItem* TableListForm::showStoredRow(const db::Value& key, QTreeWidgetItem* row) {
    const db::Rows rows = Db().query(listSql() + " WHERE " + d_.key + " = ?", {key});
    if (rows.empty()) return row;
    if (!row) row = new QTreeWidgetItem(list());
    showRow(row, rows, 0);
    return row;
}

db::Value TableListForm::rowKey(const QTreeWidgetItem& row) const {
    // Codes stay text: "0012" is not 12.
    const QVariant key = row.data(0, kKeyValueRole);
    if (key.typeId() == QMetaType::QString) return key.toString().toStdString();
    return static_cast<long long>(key.toLongLong());
}

void TableListForm::completeInsert(RowValues&, const db::Value&) const {}

std::optional<Refusal> TableListForm::checkEntry(const FieldForm&) const { return std::nullopt; }

void TableListForm::completeValues(FieldForm&, RowValues&) const {}

void TableListForm::cmdAdd_Click() {
    // A full table is refused before anything is typed.
    std::optional<long long> next;
    const auto& place = d_.nextKey ? d_.nextKey : d_.nextSlot;
    if (place && !Trapped(this, where("cmdAdd_Click"), [&] { next = place(Db()); })) return;
    if (place && !next) {
        Inform(this, d_.fullMessage);
        return;
    }
    TableEntryForm entry(this, false, d_.nextKey ? db::Value(*next) : db::Value());
    entry.exec();
}

void TableListForm::cmdModify_Click() {
    QTreeWidgetItem* row = selectedRow();
    if (!row) {
        if (d_.noRowModify) Inform(this, d_.noRowModify);
        return;
    }
    const db::Value key = rowKey(*row);
    long long found = 0;
    if (!Trapped(this, where("cmdModify_Click"), [&] {
            found = Db().scalar("SELECT count(*) FROM " + std::string(d_.table) + " WHERE " + d_.key + " = ?", {key})
                        .toInt();
        }))
        return;
    if (!found) {
        // Deleted meanwhile (another program, a read from the register):
        // saving would change nothing, so the row is not opened.
        if (d_.notFoundText)
            Prompt().information(this, QString::fromUtf8(d_.notFoundTitle ? d_.notFoundTitle : ""),
                                 QString::fromUtf8(d_.notFoundText));
        else
            Inform(this, kNotFound);
        FillList();
        return;
    }
    TableEntryForm entry(this, true, key);
    entry.exec();
}

void TableListForm::cmdDelete_Click() {
    const bool deleted = deleteSelectedRow(d_.noRowDelete, d_.confirmDelete, d_.deleteIcon, [this](const QTreeWidgetItem& row) {
        Db().execute("DELETE FROM " + std::string(d_.table) + " WHERE " + d_.key + " = ?", {rowKey(row)});
    });
    if (deleted && d_.deletedMessage) Inform(this, d_.deletedMessage);
}

void TableListForm::cmdDelAll_Click() {
    // Every row goes, and the question says how many.
    const std::string table = d_.table;
    long long count = 0;
    if (!Trapped(this, where("cmdDelAll_Click"), [&] { count = Db().scalar("SELECT count(*) FROM " + table).toInt(); }))
        return;
    const QString what = QString::fromStdString(SubstituteArgs(Text(120200).toStdString(), {std::to_string(count)}));
    if (!ConfirmDestructive(this, d_.confirmDeleteAll, d_.deleteIcon, what)) return;
    if (!Trapped(this, where("cmdDelAll_Click"), [&] { Db().execute("DELETE FROM " + table); })) return;
    list()->clear();
    if (d_.deletedMessage) Inform(this, d_.deletedMessage);
}

void TableListForm::cmdExcel_Click() {
    long long count = 0;
    if (!Trapped(this, where("ExportToExcel"),
                 [&] { count = Db().scalar("SELECT count(*) FROM " + std::string(d_.table)).toInt(); }))
        return;
    exportSheet([this] { return d_.sheet(Db()); }, count);
}

// ---- entry form ----------------------------------------------------------------

TableEntryForm::TableEntryForm(TableListForm* list, bool modify, const db::Value& key)
    : EntryForm(list->description().entryForm, list), list_(list), key_(key) {
    const ListDescription& d = list->description();
    setModify(modify);
    setWindowTitle(Text(d.entryCaption));
    fields_ = std::make_unique<FieldForm>(this, d.fields);
    auto* buttons = TrailingButtons({saveButton(), cancelButton()});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields_->layout());
    layout->addLayout(buttons);
    if (QWidget* last = fields_->lastInTabOrder()) setTabOrder(last, saveButton());
    setTabOrder(saveButton(), cancelButton());
    ApplyFormFont(this);

    fields_->loadInitial();
    if (modify) {
        Trapped(this, list_->where("Form_Load"), [&] {
            fields_->load(Db().query("SELECT * FROM " + std::string(d.table) + " WHERE " + d.key + " = ?", {key_}));
        });
        // A typed key is the row's identity: it is not changed here.
        if (const Field* k = keyField())
            if (QWidget* c = fields_->control(k->object)) c->setEnabled(false);
    }
    showKey();
    if (QWidget* first = fields_->firstEditable()) first->setFocus();
}

const Field* TableEntryForm::keyField() const {
    const ListDescription& d = list_->description();
    for (const Field& f : d.fields.fields)
        if (f.kind != FieldKind::Label && f.column && qstrcmp(f.column, d.key) == 0) return &f;
    return nullptr;
}

bool TableEntryForm::placeNewRow(RowValues& values) {
    const ListDescription& d = list_->description();
    const std::string location = std::string(d.entryForm) + "_cmdSave_Click";
    if (const Field* k = keyField()) {
        for (const auto& [column, v] : values)
            if (column == d.key) key_ = v;
        if (d.duplicateMessage) {
            long long found = 0;
            if (!Trapped(this, location, [&] {
                    found = Db().scalar("SELECT count(*) FROM " + std::string(d.table) + " WHERE " + d.key + " = ?",
                                        {key_})
                                .toInt();
                }))
                return false;
            if (found) {
                refuse(d.duplicateMessage, fields_->control(k->object));
                return false;
            }
        }
    } else {
        values.insert(values.begin(), {d.key, key_});
    }
    if (d.nextSlot) {
        std::optional<long long> slot;
        if (!Trapped(this, location, [&] { slot = d.nextSlot(Db()); })) return false;
        if (!slot) {
            Inform(this, d.fullMessage);
            return false;
        }
        values.emplace_back(d.slotColumn, *slot);
    }
    return true;
}

void TableEntryForm::showKey() {
    const ListDescription& d = list_->description();
    for (const Field& f : d.fields.fields)
        if (f.kind == FieldKind::Label && f.column && qstrcmp(f.column, d.key) == 0) fields_->setValue(f, key_);
}

void TableEntryForm::save() {
    const ListDescription& d = list_->description();
    const std::string location = std::string(d.entryForm) + "_cmdSave_Click";
    int decimals = 2;
    if (!Trapped(this, location, [&] { decimals = GetDecimalPlaces(Db()); })) return;
    std::optional<Refusal> refusal = fields_->check(decimals);
    if (!refusal) refusal = list_->checkEntry(*fields_);
    if (refusal) {
        refuseText(refusal->text, fields_->control(refusal->object));
        return;
    }
    RowValues values = fields_->values();
    list_->completeValues(*fields_, values);
    if (isModify()) {
        if (!Trapped(this, location, [&] { UpdateRow(Db(), d.table, values, d.key, key_); })) return;
        qCDebug(lcGui) << d.table << "row" << QString::fromStdString(key_.toText()) << "updated";
        if (QTreeWidgetItem* row = list_->selectedRow())
            Trapped(this, location, [&] { list_->showStoredRow(key_, row); });
        accept();
        return;
    }
    if (!placeNewRow(values)) return;
    list_->completeInsert(values, key_);
    if (!Trapped(this, location, [&] { InsertRow(Db(), d.table, values); })) return;
    qCDebug(lcGui) << d.table << "row" << QString::fromStdString(key_.toText()) << "added";
    Trapped(this, location, [&] { list_->showStoredRow(key_, nullptr); });

    if (!d.anotherQuestion || !askAnother(d.anotherQuestion, d.anotherIcon)) {
        accept();
        return;
    }
    // Another row only when there is a place for it.
    std::optional<long long> next;
    const auto& place = d.nextKey ? d.nextKey : d.nextSlot;
    if (place) {
        if (!Trapped(this, location, [&] { next = place(Db()); })) return;
        if (!next) {
            Inform(this, d.anotherFull);
            accept();
            return;
        }
    }
    key_ = d.nextKey ? db::Value(*next) : db::Value();
    showKey();
    fields_->loadAnother();
    if (QWidget* first = fields_->firstEditable()) first->setFocus();
}

} // namespace ecr::ui
