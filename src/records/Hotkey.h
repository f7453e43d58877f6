// Keyboard page: 385 key records of 10 bytes (hotkey.keyaddress = record index).
#pragma once

#include "Limits.h"
#include "PageKinds.h"
#include "app/GlobalFunc.h"

#include <string>

namespace ecr::records {

inline constexpr int kKeyRecordSize = 10;
inline constexpr int kKeyRecords = 385;

struct KeyLimits {
    static constexpr FieldLimit keyaddress = WholeLimit(0, kKeyRecords - 1);
    static constexpr FieldLimit content = NumberLimit(4, 0); // also content2
    static constexpr FieldLimit function = TextLimit(1);
};

struct KeyRecord {
    int keyaddress = 0;
    long long content = 0;
    long long content2 = 0;
    std::string function; // one letter; empty for a blank key
    bool operator==(const KeyRecord&) const = default;
};

// Every record decodes, blank ones to content 0, content2 0 and no function.
KeyRecord DecodeKey(ByteView record, int index);
// A key without a function is not written (its 10 bytes stay as they are);
// returns whether it was written.
bool EncodeKey(const KeyRecord& r, ByteSpan record);

} // namespace ecr::records
