#include "MemberForm.h"

#include "EditorLogic.h"
#include "records/Member.h"

namespace ecr::editors {

using ui::FieldKind;
using ui::Shown;
using Limits = records::MemberLimits;

namespace {

// Codes and names of up to 16 digits and 32 bytes: the register's fields.
constexpr int kCodeDigits = 16;
constexpr int kFull = 120550;

const ui::ListDescription& memberEditor() {
    static const ui::ListDescription d{
        .form = "frmMember",
        .caption = 111243,
        .table = "member",
        .key = "userid",
        .order = "userid",
        .columns = {{"userid", 111246, Shown::Text, 130},
                    {"username", 111247, Shown::Text, 160},
                    {"useraddress", 111248, Shown::Text, 200},
                    {"tel", 111249, Shown::Text, 130},
                    {"score", 111250, Shown::Number}},
        .slotColumn = "sid",
        .nextSlot = NextMemberSlot,
        .duplicateMessage = 111401,
        .transferKind = "members",
        .size = {820, 520},
        .doubleClickModifies = true,
        .confirmDelete = 111169,
        .fullMessage = kFull,
        .entryForm = "frmMember_S",
        .entryCaption = 111241,
        .fields = {.fields = {{.column = "userid", .caption = 111246, .object = "txtId", .kind = FieldKind::Digits,
                               .label = "Label1", .limit = Limits::userid, .required = 111251,
                               .maxLength = kCodeDigits, .another = ""},
                              {.column = "username", .caption = 111247, .object = "txtName", .label = "Label2",
                               .limit = Limits::text, .required = 111252, .another = ""},
                              {.column = "tel", .caption = 111249, .object = "txtTel", .label = "Label3",
                               .limit = Limits::text, .another = ""},
                              {.column = "score", .caption = 111250, .object = "txtScore", .kind = FieldKind::Decimal,
                               .label = "Label4", .limit = Limits::score, .initial = "0", .another = "0"},
                              {.column = "useraddress", .caption = 111248, .object = "txtAddress", .label = "Label5",
                               .limit = Limits::text, .another = ""}}},
        .anotherFull = kFull,
    };
    return d;
}

} // namespace

MemberForm::MemberForm(QWidget* parent) : TableListForm(memberEditor(), parent) {}

void MemberForm::completeInsert(ui::RowValues& values, const db::Value&) const { values.emplace_back("addr", 0); }

} // namespace ecr::editors
