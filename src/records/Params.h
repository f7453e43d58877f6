// System parameter page: one 4096-byte record, kept whole in params_all and
// decoded into the one row of params.
#pragma once

#include "Limits.h"
#include "PageKinds.h"
#include "app/GlobalFunc.h"

#include <map>
#include <string>
#include <vector>

namespace ecr::records {

// Where the text fields sit: layout A (older BIRCH firmware) or B (the rest).
enum class ParamLayout { A, B };
ParamLayout ChooseParamLayout(const std::string& modelName, long long registerVersion);

enum class ParamText { Plain, Reversed, Digits };

struct ParamNumberField {
    int offset;
    const char* column;
    int decimals;
};
inline constexpr ParamNumberField kParamNumbers[] = {
    {8, "Language", 0},
    {20, "OtherSetting", 0},
    {24, "RoundPosition", 0},
    {28, "PassWordEn", 0},
    {32, "CashierTotal", 0},
    {36, "SaleTotal", 0},
    {40, "PointEn", 0},
    {44, "RoundingMethod", 0},
    {48, "PortA", 0},
    {52, "PortB", 0},
    {56, "MachineNumber", 0},
    {60, "NotePrint", 0},
    {64, "NoteHeadEn", 0},
    {68, "NoteEndEn", 0},
    {72, "PrintDensity", 0},
    {84, "TaxPrintEn", 0},
    {88, "TaxItem", 0},
    {92, "TaxDefaultValue", 2},
    {96, "MemberScoreRule", 2},
    {100, "PayWay3NativeCurrency", 0},
    {104, "PayWay3ForeignCurrency", 0},
    {108, "PayWay4NativeCurrency", 0},
    {112, "PayWay4ForeignCurrency", 0},
    {116, "PayWay5NativeCurrency", 0},
    {120, "PayWay5ForeignCurrency", 0},
    {124, "PayWay6NativeCurrency", 0},
    {128, "PayWay6ForeignCurrency", 0},
    {144, "ServiceChargeEn", 0},
    {148, "ServiceChargeValue", 3},
    {152, "UART_BPS", 0},
};
// ModeSelect0..2 are bits 0..2 of the word at 12; a set bit means the column is 0.
inline constexpr int kParamModeOffset = 12;

struct ParamTextField {
    std::string column;
    int offset;
    int readWidth;
    int writeWidth;
    int separator;  // offset of the 0x00 written after the field, -1 for none
    int minVersion; // data version from which the field exists (0 = always)
    ParamText kind;
};
// The text fields of a layout, in page order.
const std::vector<ParamTextField>& ParamTextFields(ParamLayout layout);

// What a column of params holds in the layout's page: text fields their
// written width, numbers a 4-byte field at their decimals; nullopt for a
// column the page does not carry.
std::optional<FieldLimit> ParamLimit(std::string_view column, ParamLayout layout);

// Decoded parameter page: every column of params by name.
struct ParamValues {
    std::map<std::string, double> numbers;
    std::map<std::string, std::string> texts;
    bool operator==(const ParamValues&) const = default;
};

// Decodes the page; fields newer than dataVersion are left out.
ParamValues DecodeParams(ByteView page, ParamLayout layout, int dataVersion);
// Writes the known fields over the page (bytes without a column stay);
// columns missing from v are not written.
void EncodeParams(const ParamValues& v, ByteSpan page, ParamLayout layout, int dataVersion);

} // namespace ecr::records
