#include "Member.h"

#include "Fields.h"

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

} // namespace ecr::records
