#include "PromotionForm.h"

#include "EditorLogic.h"
#include "records/Promotion.h"

namespace ecr::editors {

using ui::FieldKind;
using ui::Shown;
using Limits = records::PromotionLimits;

namespace {

constexpr int kCodeDigits = 16;
constexpr int kFull = 120551;
// Quantities are typed as digits; the register's field is a signed 32-bit number.
constexpr records::FieldLimit kQuantity = records::WholeLimit(0, 2147483647);

const ui::ListDescription& promotionEditor() {
    static const ui::ListDescription d{
        .form = "frmPromotion",
        .caption = 111491,
        .table = "promotion",
        .key = "address",
        .keyPrefix = "P",
        .order = "address",
        .columns = {{"promotionname", 111492, Shown::Text, 160},
                    {"pluid", 111493, Shown::Text, 130},
                    {"sdate", 111494, Shown::Date, 100},
                    {"edate", 111495, Shown::Date, 100},
                    {"quantity", 111496, Shown::Number},
                    {"discountprice", 111497, Shown::Amount2},
                    {"PresentPluId", 111518, Shown::Text, 130},
                    {"PresentQuantity", 111519, Shown::Number}},
        .nextKey = NextPromotionAddress,
        .transferKind = "promotions",
        .size = {960, 520},
        .noRowDelete = 111168,
        .confirmDelete = 111169,
        .deleteIcon = ui::Prompter::Icon::Exclamation,
        .deletedMessage = 111170,
        .confirmDeleteAll = 111358,
        .fullMessage = kFull,
        .entryForm = "frmPromotion_S",
        .entryCaption = 120553,
        .fields = {.fields = {{.column = "promotionname", .caption = 111492, .object = "txtPromotionName",
                               .label = "Label1", .limit = Limits::promotionname, .required = 111512, .another = ""},
                              {.column = "pluid", .caption = 111493, .object = "txtPLUId", .kind = FieldKind::Digits,
                               .label = "Label2", .limit = Limits::pluid, .required = 111513,
                               .maxLength = kCodeDigits, .another = ""},
                              {.column = "sdate", .caption = 111494, .object = "dtpStartDate", .kind = FieldKind::Date,
                               .label = "Label3", .dateOnly = true},
                              {.column = "edate", .caption = 111495, .object = "dtpEndDate", .kind = FieldKind::Date,
                               .label = "Label4", .dateOnly = true},
                              {.column = "quantity", .caption = 111496, .object = "txtQuantity",
                               .kind = FieldKind::Digits, .label = "Label5", .limit = kQuantity, .required = 111514,
                               .initial = "0", .another = "0"},
                              {.column = "discountprice", .caption = 111497, .object = "txtDiscountPrice",
                               .kind = FieldKind::Decimal, .label = "Label6", .limit = Limits::discountprice,
                               .shownDecimals = 2, .initial = "0", .another = "0"},
                              {.column = "PresentPluId", .caption = 111518, .object = "txtPresentPluId",
                               .kind = FieldKind::Digits, .label = "Label7", .limit = Limits::presentPluId,
                               .maxLength = kCodeDigits, .another = ""},
                              {.column = "PresentQuantity", .caption = 111519, .object = "txtPresentQuantity",
                               .kind = FieldKind::Digits, .label = "Label8", .limit = kQuantity, .initial = "0",
                               .another = "0"}}},
        .anotherFull = kFull,
    };
    return d;
}

db::Value* valueOf(ui::RowValues& values, const char* column) {
    for (auto& [c, v] : values)
        if (c == column) return &v;
    return nullptr;
}

} // namespace

PromotionForm::PromotionForm(QWidget* parent) : TableListForm(promotionEditor(), parent) {}

void PromotionForm::completeValues(ui::FieldForm& fields, ui::RowValues& values) const {
    db::Value* start = valueOf(values, "sdate");
    db::Value* end = valueOf(values, "edate");
    if (!start || !end) return;
    // Both are "yyyy-MM-dd hh:mm:ss": text order is time order.
    if (end->toText() >= start->toText()) return;
    *end = *start;
    for (const ui::Field& f : fields.table().fields)
        if (f.column && std::string_view(f.column) == "edate") fields.setValue(f, *start);
}

} // namespace ecr::editors
