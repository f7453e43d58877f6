#include "Hotkey.h"

#include "Fields.h"
#include "app/CodePage.h"
#include "db/Database.h"

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

void GetKeyboardStruct(PageContext& ctx, ByteView page, int i) {
    const KeyRecord r = DecodeKey(RecordAt(page, i, kKeyRecordSize), i);
    ctx.db.execute("INSERT INTO hotkey(keyaddress,content,content2,function) VALUES(?,?,?,?)",
                   {r.keyaddress, r.content, r.content2, r.function});
}

namespace {

void storePage(PageContext& ctx, ByteView page, int) {
    ctx.db.execute("DELETE FROM hotkey");
    for (int i = 0; i < kKeyRecords; ++i)
        GetKeyboardStruct(ctx, page, i);
}

void buildPage(PageContext& ctx, ByteSpan page, int) {
    auto rows = ctx.db.query("SELECT keyaddress,content,content2,function FROM hotkey ORDER BY keyaddress");
    for (const auto& row : rows.rows) {
        const std::int64_t address = row[0].toInt();
        if (address < 0 || address >= kKeyRecords) continue; // no place for it in the page
        KeyRecord r;
        r.keyaddress = static_cast<int>(address);
        r.content = row[1].toInt();
        r.content2 = row[2].toInt();
        r.function = row[3].toText();
        EncodeKey(r, RecordAt(page, r.keyaddress, kKeyRecordSize));
    }
}

} // namespace

void RegisterKeyboardKind(PageRegistry& registry) {
    registry.add(kind::Keyboard, {"GetData_GetKeyboardStruct", storePage, buildPage});
}

} // namespace ecr::records
