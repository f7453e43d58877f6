#include "Hotkey.h"

#include "Fields.h"
#include "app/CodePage.h"

namespace ecr::records {

KeyRecord DecodeKey(ByteView rec, int index) {
    KeyRecord r;
    r.keyaddress = index;
    r.content = static_cast<long long>(BytesToNumber(rec.subspan(0, 4), 0, false, 0));
    r.content2 = static_cast<long long>(BytesToNumber(rec.subspan(4, 4), 0, false, 0));
    for (char c : BytesToText(rec.subspan(8, 2)))
        if (c != '\0') r.function.push_back(c);
    return r;
}

bool EncodeKey(const KeyRecord& r, ByteSpan rec) {
    const std::string code = EncodeRegisterText(r.function);
    if (code.empty()) return false;
    PutNumber(static_cast<double>(r.content), rec.subspan(0, 4), 0, false);
    PutNumber(static_cast<double>(r.content2), rec.subspan(4, 4), 0, false);
    rec[8] = static_cast<std::uint8_t>(code[0]);
    rec[9] = 0x00;
    return true;
}

} // namespace ecr::records
