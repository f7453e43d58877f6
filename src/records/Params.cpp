#include "Params.h"

#include "Fields.h"

#include <algorithm>
#include <cmath>

namespace ecr::records {

ParamLayout ChooseParamLayout(const std::string& modelName, long long registerVersion) {
    if (modelName == "BIRCH" && (registerVersion < 100320 || registerVersion > 100400)) return ParamLayout::A;
    return ParamLayout::B;
}

std::optional<FieldLimit> ParamLimit(std::string_view column, ParamLayout layout) {
    for (const ParamTextField& f : ParamTextFields(layout))
        if (f.column == column) return TextLimit(f.writeWidth);
    for (const ParamNumberField& f : kParamNumbers)
        if (column == f.column) return NumberLimit(4, f.decimals);
    return std::nullopt;
}

namespace {

void addLines(std::vector<ParamTextField>& out, const char* stem, int first, int last, int base, int pitch,
              int readWidth, int writeWidth, bool separator) {
    for (int n = first; n <= last; ++n) {
        const int off = base + pitch * (n - first);
        out.push_back({stem + std::to_string(n), off, readWidth, writeWidth, separator ? off + pitch - 1 : -1, 0,
                       ParamText::Plain});
    }
}

std::vector<ParamTextField> layoutA() {
    std::vector<ParamTextField> f;
    addLines(f, "NoteHead", 1, 2, 280, 33, 32, 32, true);
    addLines(f, "NoteEnd", 1, 2, 346, 33, 32, 32, true);
    addLines(f, "UserNameAndAddress", 1, 6, 412, 33, 32, 32, true);
    addLines(f, "Price", 3, 6, 610, 11, 10, 10, false);
    f.push_back({"ManagerPwd", 654, 6, 6, -1, 0, ParamText::Reversed});
    f.push_back({"InStoreCode", 661, 10, 10, -1, 0, ParamText::Digits});
    addLines(f, "Taste", 1, 8, 702, 11, 11, 11, false);
    // Lines 3..9 sit back to back, 32 bytes each, so RegNo lands at 1238.
    addLines(f, "NoteEnd", 3, 9, 790, 32, 32, 32, false);
    addLines(f, "NoteHead", 3, 9, 1014, 32, 32, 32, false);
    f.push_back({"RegNo", 1238, 20, 20, -1, 0, ParamText::Plain});
    return f;
}

std::vector<ParamTextField> layoutB() {
    std::vector<ParamTextField> f;
    // Lines are read 42 wide but written 32 wide: the register's characters
    // 33..42 stay as the stored page has them.
    addLines(f, "NoteHead", 1, 9, 280, 43, 42, 32, true);
    addLines(f, "NoteEnd", 1, 9, 667, 43, 42, 32, true);
    addLines(f, "UserNameAndAddress", 1, 6, 1054, 43, 42, 32, true);
    addLines(f, "Price", 3, 6, 1312, 11, 10, 10, false);
    f.push_back({"ManagerPwd", 1356, 6, 6, -1, 0, ParamText::Reversed});
    f.push_back({"InStoreCode", 1363, 10, 10, -1, 0, ParamText::Digits});
    addLines(f, "Taste", 1, 8, 1404, 11, 11, 11, false);
    f.push_back({"RegNo", 1492, 20, 20, -1, 0, ParamText::Plain});
    f.push_back({"FiscalInfo", 1512, 40, 40, -1, 321, ParamText::Plain});
    f.push_back({"LocalCurrencyAbbr", 1552, 2, 2, -1, 321, ParamText::Plain});
    f.push_back({"Discount1Name", 1554, 11, 11, -1, 322, ParamText::Plain});
    f.push_back({"Discount2Name", 1565, 11, 11, -1, 322, ParamText::Plain});
    f.push_back({"ServiceCharge1Name", 1576, 11, 11, -1, 322, ParamText::Plain});
    f.push_back({"ServiceCharge2Name", 1587, 11, 11, -1, 322, ParamText::Plain});
    return f;
}

std::string decodeDigits(ByteView field) {
    if (IsBlankBytes(field)) return {};
    std::string s;
    for (auto b : field)
        s.push_back(b <= 9 ? static_cast<char>('0' + b) : '0');
    return s;
}

void encodeDigits(const std::string& text, ByteSpan field) {
    if (text.empty()) return; // nothing chosen: the stored bytes stay
    for (std::size_t k = 0; k < field.size(); ++k) {
        const char c = k < text.size() ? text[k] : '0';
        field[k] = c >= '0' && c <= '9' ? static_cast<std::uint8_t>(c - '0') : 0;
    }
}

} // namespace

const std::vector<ParamTextField>& ParamTextFields(ParamLayout layout) {
    static const std::vector<ParamTextField> a = layoutA(), b = layoutB();
    return layout == ParamLayout::A ? a : b;
}

ParamValues DecodeParams(ByteView page, ParamLayout layout, int dataVersion) {
    ParamValues v;
    for (const auto& f : kParamNumbers)
        v.numbers[f.column] = BytesToNumber(page.subspan(static_cast<std::size_t>(f.offset), 4), f.decimals, false, 0);
    const auto mode = static_cast<std::uint32_t>(
        static_cast<std::int64_t>(BytesToNumber(page.subspan(kParamModeOffset, 4), 0, false, 0)));
    for (int bit = 0; bit < 3; ++bit)
        v.numbers["ModeSelect" + std::to_string(bit)] = (mode >> bit) & 1u ? 0 : 1;
    for (const auto& f : ParamTextFields(layout)) {
        if (dataVersion < f.minVersion) continue;
        ByteView field = page.subspan(static_cast<std::size_t>(f.offset), static_cast<std::size_t>(f.readWidth));
        switch (f.kind) {
        case ParamText::Plain:
            v.texts[f.column] = CleanText(BytesToText(field));
            break;
        case ParamText::Reversed:
            v.texts[f.column] = ReverseText(CleanText(BytesToText(field)));
            break;
        case ParamText::Digits:
            v.texts[f.column] = decodeDigits(field);
            break;
        }
    }
    return v;
}

void EncodeParams(const ParamValues& v, ByteSpan page, ParamLayout layout, int dataVersion) {
    for (const auto& f : kParamNumbers) {
        auto it = v.numbers.find(f.column);
        if (it != v.numbers.end())
            PutNumber(it->second, page.subspan(static_cast<std::size_t>(f.offset), 4), f.decimals, false);
    }
    std::uint32_t mode = 0;
    bool anyMode = false;
    for (int bit = 0; bit < 3; ++bit) {
        auto it = v.numbers.find("ModeSelect" + std::to_string(bit));
        if (it == v.numbers.end()) continue;
        anyMode = true;
        if (it->second == 0) mode |= 1u << bit;
    }
    if (anyMode) PutNumber(mode, page.subspan(kParamModeOffset, 4), 0, false);
    for (const auto& f : ParamTextFields(layout)) {
        if (dataVersion < f.minVersion) continue;
        auto it = v.texts.find(f.column);
        if (it == v.texts.end()) continue;
        ByteSpan field = page.subspan(static_cast<std::size_t>(f.offset), static_cast<std::size_t>(f.writeWidth));
        switch (f.kind) {
        case ParamText::Plain:
            TextToBytes(it->second, field);
            break;
        case ParamText::Reversed:
            TextToBytes(ReverseText(it->second), field);
            break;
        case ParamText::Digits:
            encodeDigits(it->second, field);
            break;
        }
        if (f.separator >= 0) page[static_cast<std::size_t>(f.separator)] = 0x00;
    }
}

} // namespace ecr::records
