// What the keyboard tests share: every layout with its N and level count,
// and the hotkey table read back as rows.
#pragma once

#include "db/Database.h"
#include "keyboard/KeyModel.h"

#include <string>
#include <tuple>
#include <vector>

namespace keytest {

struct LayoutCase {
    int index;
    const char* keyType;
    int keys; // on the picture
    int n, levels;
};
inline const LayoutCase kCases[] = {
    {ecr::keyboard::kKey39, "KEY39", 39, 12, 3}, {ecr::keyboard::kKey39_2, "KEY39_2", 39, 12, 3},
    {ecr::keyboard::kKey48, "KEY48", 48, 20, 3}, {ecr::keyboard::kKey59, "KEY59", 59, 32, 3},
    {ecr::keyboard::kKey93, "KEY93", 93, 50, 2},
};

// keyaddress, content, content2, function.
using Row = std::tuple<long long, long long, long long, std::string>;

inline std::vector<Row> HotkeyRows(ecr::db::Database& db) {
    std::vector<Row> out;
    for (const auto& r : db.query("SELECT keyaddress, content, content2, function FROM hotkey ORDER BY 1").rows)
        out.emplace_back(r[0].toInt(), r[1].toInt(), r[2].toInt(), r[3].toText());
    return out;
}
// The row a PLU number makes at an address.
inline Row PluRow(long long address, const char* number) {
    const auto w = ecr::keyboard::PluWords(number);
    return {address, w->first, w->second, "P"};
}

} // namespace keytest
