// Department page: 101 records of 32 bytes (ids 0..100).
#pragma once

#include "Limits.h"
#include "PageKinds.h"
#include "app/GlobalFunc.h"

#include <array>
#include <optional>
#include <string>

namespace ecr::records {

inline constexpr int kDepartRecordSize = 32;
inline constexpr int kDepartRecords = 101;

struct DepartLimits {
    static constexpr FieldLimit id = WholeLimit(0, kDepartRecords - 1);
    static constexpr FieldLimit name = TextLimit(20);
    static constexpr FieldLimit price = NumberLimit(4, 2);
    static constexpr FieldLimit tax = NumberLimit(4, 2);
    static constexpr FieldLimit byte = WholeLimit(0, 255); // addr, kitchen printer
};

struct DepartRecord {
    int id = 0;
    std::string name;
    double price = 0; // 2 decimals
    double tax = 0;   // percent, 2 decimals
    int discounten = 0;
    int addr = 0;
    int kitchenEn = 0;
    bool operator==(const DepartRecord&) const = default;
};

std::optional<DepartRecord> DecodeDepart(ByteView record, int index);
void EncodeDepart(const DepartRecord& r, ByteSpan record);

} // namespace ecr::records
