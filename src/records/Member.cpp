#include "Member.h"

#include "Fields.h"
#include "db/Database.h"

namespace ecr::records {

std::optional<MemberRecord> DecodeMember(ByteView rec, int pageIndex, int recordIndex) {
    MemberRecord r;
    r.userid = CleanText(ReadCode(rec.subspan(0, 8)));
    if (r.userid.empty()) return std::nullopt;
    r.sid = pageIndex * 100 + recordIndex;
    r.score = BytesToNumber(rec.subspan(8, 4), 0, false, 0);
    r.addr = static_cast<int>(BytesToNumber(rec.subspan(12, 2), 0, false, 0));
    r.username = CleanText(BytesToText(rec.subspan(14, 32)));
    r.useraddress = CleanText(BytesToText(rec.subspan(46, 32)));
    r.tel = CleanText(BytesToText(rec.subspan(78, 32)));
    return r;
}

bool EncodeMember(const MemberRecord& r, ByteSpan rec) {
    if (!WriteCode(r.userid, rec.subspan(0, 8))) return false;
    PutNumber(r.score, rec.subspan(8, 4), 0, false);
    PutNumber(r.addr, rec.subspan(12, 2), 0, false);
    TextToBytes(r.username, rec.subspan(14, 32));
    TextToBytes(r.useraddress, rec.subspan(46, 32));
    TextToBytes(r.tel, rec.subspan(78, 32));
    return true;
}

void GetMember(PageContext& ctx, ByteView page, int pageIndex, int i) {
    auto r = DecodeMember(RecordAt(page, i, kMemberRecordSize), pageIndex, i);
    if (!r) return;
    ctx.db.execute("INSERT INTO member(userid,username,useraddress,tel,score,addr,sid) VALUES(?,?,?,?,?,?,?)",
                   {r->userid, r->username, r->useraddress, r->tel, r->score, r->addr, r->sid});
}

namespace {

void storePage(PageContext& ctx, ByteView page, int pageIndex) {
    for (int i = 0; i < kMemberRecords; ++i)
        GetMember(ctx, page, pageIndex, i);
}

void buildPage(PageContext& ctx, ByteSpan page, int pageIndex) {
    const long long first = static_cast<long long>(pageIndex) * 100;
    auto rows = ctx.db.query("SELECT userid,username,useraddress,tel,score,addr,sid FROM member "
                             "WHERE sid>=? AND sid<=? ORDER BY sid",
                             {first, first + kMemberRecords - 1});
    for (const auto& row : rows.rows) {
        MemberRecord r;
        r.userid = row[0].toText();
        r.username = row[1].toText();
        r.useraddress = row[2].toText();
        r.tel = row[3].toText();
        r.score = row[4].toDouble();
        r.addr = static_cast<int>(row[5].toInt());
        r.sid = static_cast<int>(row[6].toInt());
        EncodeMember(r, RecordAt(page, static_cast<int>(row[6].toInt() - first), kMemberRecordSize));
    }
}

} // namespace

void RegisterMemberKind(PageRegistry& registry) {
    registry.add(kind::Member, {"GetData_GetMember", storePage, buildPage, "DELETE FROM member"});
}

} // namespace ecr::records
