// Member pages: 32 records of 128 bytes; member.sid = page index x 100 + record index.
#pragma once

#include "Limits.h"
#include "PageKinds.h"
#include "app/GlobalFunc.h"

#include <optional>
#include <string>

namespace ecr::records {

inline constexpr int kMemberRecordSize = 128;
inline constexpr int kMemberRecords = 32;

struct MemberLimits {
    static constexpr FieldLimit userid = CodeLimit();
    static constexpr FieldLimit text = TextLimit(32); // name, address, telephone
    static constexpr FieldLimit score = NumberLimit(4, 0);
    static constexpr FieldLimit addr = NumberLimit(2, 0);
};

struct MemberRecord {
    int sid = 0;
    std::string userid;
    std::string username;
    std::string useraddress;
    std::string tel;
    double score = 0; // whole points
    int addr = 0;
    bool operator==(const MemberRecord&) const = default;
};

// nullopt when the member code is empty.
std::optional<MemberRecord> DecodeMember(ByteView record, int pageIndex, int recordIndex);
bool EncodeMember(const MemberRecord& r, ByteSpan record);

} // namespace ecr::records
