#include "DepartForm.h"

#include "EditorLogic.h"
#include "records/Department.h"
#include "ui/Texts.h"

namespace ecr::editors {

using ui::FieldKind;
using ui::Shown;
using Limits = records::DepartLimits;

namespace {

const std::vector<int> kKitchenPrinters = {111487, 111488, 111489, 111490};

const ui::ListDescription& departEditor() {
    static const ui::ListDescription d{
        .form = "frmDepart",
        .caption = 111030,
        .heading = 111031,
        .table = "depart",
        .key = "id",
        .order = "id",
        .columns = {{"id", 111033, Shown::Number, 50},
                    {"name", 111034, Shown::Text, 180},
                    {"price", 111035, Shown::Amount2},
                    {"DiscountEn", 111037, Shown::Mark},
                    {"tax", 111386, Shown::Number},
                    {"KitchenEn", 111385, Shown::Captions, 0, kKitchenPrinters}},
        .nextKey = [](db::Database& db) -> std::optional<long long> { return NextId(db, "depart"); },
        .transferKind = "departments",
        .noRowDelete = 111124,
        .confirmDelete = 111125,
        .fullMessage = 111112,
        .entryForm = "frmDepart_S",
        .entryCaption = 111032,
        .fields = {.fields = {{.column = "id", .caption = 111033, .object = "lblDepartID", .kind = FieldKind::Label,
                               .label = "Label2"},
                              {.column = "name", .caption = 111034, .object = "txtDepartName", .label = "Label3",
                               .limit = Limits::name, .required = 111126, .another = ""},
                              {.column = "price", .caption = 111035, .object = "txtPrice", .kind = FieldKind::Decimal,
                               .label = "Label4", .limit = Limits::price, .shownDecimals = 2, .another = "0"},
                              {.column = "tax", .caption = 111386, .object = "txtTaxRate", .kind = FieldKind::Decimal,
                               .label = "Label5", .limit = Limits::tax},
                              {.column = "discounten", .caption = 111037, .object = "chkDiscountEn",
                               .kind = FieldKind::Check, .initial = 0},
                              {.column = "KitchenEn", .caption = 111385, .object = "cboKitchenEn",
                               .kind = FieldKind::Combo, .label = "Label6", .initial = 1,
                               .itemCaptions = kKitchenPrinters}},
                   .heading = 111032},
        .anotherFull = 111112,
    };
    return d;
}

} // namespace

DepartForm::DepartForm(QWidget* parent) : TableListForm(departEditor(), parent) {}

QString DepartForm::KitchenValue(long long value) {
    if (value < 0 || value >= static_cast<long long>(kKitchenPrinters.size())) return {};
    return ui::Text(kKitchenPrinters[static_cast<std::size_t>(value)]);
}

void DepartForm::completeInsert(ui::RowValues& values, const db::Value& key) const { values.emplace_back("addr", key); }

} // namespace ecr::editors
