#include "CashierForm.h"

#include "EditorLogic.h"
#include "records/Cashier.h"

namespace ecr::editors {

using ui::FieldKind;
using ui::Shown;
using Limits = records::CashierLimits;

namespace {

// Check box and caption of each right, in kRightColumns order.
constexpr std::array<const char*, 14> kRightBoxes = {"chkA0",  "chkA1",  "chkA2",  "chkA3",  "chkA7",
                                                     "chkA8",  "chkA9",  "chkA10", "chkA11", "chkA12",
                                                     "chkA13", "chkA14", "chkA15", "chkA16"};
constexpr std::array<int, 14> kRightCaptions = {111006, 111007, 111008, 111469, 111632, 111508, 111470,
                                                111472, 111473, 111474, 111509, 111633, 111511, 111510};

const ui::ListDescription& cashierEditor() {
    static const ui::ListDescription d = [] {
        ui::ListDescription d{
            .form = "frmCashierStruct",
            .caption = 111012,
            .heading = 111013,
            .table = "cashier",
            .key = "id",
            .order = "id",
            .columns = {{"id", 111002, Shown::Number, 50},
                        {"name", 111003, Shown::Text, 140},
                        {"passwd", 111004, Shown::Text, 80}},
            .nextKey = [](db::Database& db) -> std::optional<long long> { return NextId(db, "cashier"); },
            .transferKind = "cashiers",
            .size = {960, 540},
            .fitMinWidth = 48,
            .noRowModify = 111114,
            .noRowDelete = 111114,
            .confirmDelete = 111116,
            .fullMessage = 111113,
            .entryForm = "frmCashier_S",
            .entryCaption = 111011,
            .fields = {.fields = {{.column = "id", .caption = 111002, .object = "lblCashierId",
                                   .kind = FieldKind::Label, .label = "Label1"},
                                  {.column = "name", .caption = 111003, .object = "txtCashierName", .label = "Label2",
                                   .limit = Limits::name, .another = ""},
                                  {.column = "passwd", .caption = 111004, .object = "txtPasswd",
                                   .kind = FieldKind::Digits, .label = "Label3", .limit = Limits::passwd,
                                   .maxLength = Limits::passwd.bytes, .another = ""}},
                       // The rights: two a row in a frame under their heading.
                       .sections = {{}, {.caption = 111005, .object = "Label4", .columns = 2, .framed = true}}},
            .anotherFull = 111112,
        };
        for (std::size_t i = 0; i < kRightColumns.size(); ++i) {
            d.columns.push_back({kRightColumns[i], kRightCaptions[i], Shown::Mark});
            d.fields.fields.push_back({.column = kRightColumns[i], .caption = kRightCaptions[i],
                                       .object = kRightBoxes[i], .kind = FieldKind::Check, .initial = 0,
                                       .section = 1});
        }
        return d;
    }();
    return d;
}

} // namespace

CashierForm::CashierForm(QWidget* parent) : TableListForm(cashierEditor(), parent) {}

} // namespace ecr::editors
