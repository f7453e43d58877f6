// Member pages over the member table.
#include "Checks.h"
#include "PageRegistry.h"
#include "Tables.h"
#include "records/Fields.h"
#include "records/Member.h"

namespace ecr::rows {

using namespace ecr::records;

namespace {

// Inserts the page's rows; the table is emptied by whoever starts the upload.
void storePage(PageContext& ctx, ByteView page, int pageIndex) {
    const std::string insert = MemberColumns().insert();
    for (int i = 0; i < kMemberRecords; ++i)
        if (auto r = DecodeMember(RecordAt(page, i, kMemberRecordSize), pageIndex, i))
            ctx.db.execute(insert, MemberRow(*r));
}

void buildPage(PageContext& ctx, ByteSpan page, int pageIndex) {
    const long long first = static_cast<long long>(pageIndex) * 100;
    auto rows = ctx.db.query(MemberColumns().select() + " WHERE sid>=? AND sid<=? ORDER BY sid",
                             {first, first + kMemberRecords - 1});
    for (const auto& row : rows.rows) {
        const MemberRecord r = MemberFromRow(row);
        EncodeMember(r, RecordAt(page, static_cast<int>(r.sid - first), kMemberRecordSize));
    }
}

void check(PageContext& ctx, int first, int last, int pageCount, std::vector<link::RowProblem>& out) {
    RowCheck c(out, kind::Member, 0);
    for (const auto& row : ctx.db.query(MemberColumns().select() + " ORDER BY sid").rows) {
        const MemberRecord r = MemberFromRow(row);
        c.row(r.userid);
        if (!c.slot("sid", row[6].toInt(), 100, kMemberRecords, pageCount) || !InRange(r.sid, 100, first, last))
            continue;
        c.text("userid", MemberLimits::userid, r.userid)
            .text("username", MemberLimits::text, r.username)
            .text("useraddress", MemberLimits::text, r.useraddress)
            .text("tel", MemberLimits::text, r.tel)
            .number("score", MemberLimits::score, r.score)
            .number("addr", MemberLimits::addr, row[5].toDouble());
    }
}

} // namespace

void AddMemberKind(PageRegistry& registry) {
    registry.add(kind::Member, {"GetData_GetMember", storePage, buildPage, "DELETE FROM member", check});
}

} // namespace ecr::rows
