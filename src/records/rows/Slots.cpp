#include "Slots.h"

#include "RowMessages.h"
#include "link/TransferPlans.h"
#include "records/Bundle.h"
#include "records/Member.h"
#include "records/Plu.h"
#include "records/Promotion.h"

namespace ecr::rows {

namespace kind = records::kind;

const SlotRule& PluSlots() {
    static const SlotRule r{kind::Plu, "plu", "sid", 100, records::kPluRecords, records::kPluRecords, "plu"};
    return r;
}
const SlotRule& MemberSlots() {
    static const SlotRule r{kind::Member, "member", "sid", 100, records::kMemberRecords, records::kMemberRecords,
                            "members"};
    return r;
}
const SlotRule& PromotionSlots() {
    static const SlotRule r{kind::Promotion, "promotion", "address", 100, records::kPromotionRecords, 32,
                            "promotions"};
    return r;
}
const SlotRule& BundleSlots() {
    static const SlotRule r{kind::Bundle, "bundle", "sid", 100, records::kBundleRecords, records::kBundleRecords,
                            "bundles"};
    return r;
}

int SlotPages(const SlotRule& rule, int keyboardType) {
    const link::KindPlan* plan = link::FindKindPlan(rule.plan);
    return plan ? link::Resolve(*plan, link::Direction::Write, keyboardType).pages : 0;
}

std::optional<long long> NextSlot(db::Database& db, const SlotRule& rule, int keyboardType,
                                  const std::set<long long>& reserved) {
    std::set<long long> taken = reserved;
    const auto rows = db.query(std::string("SELECT ") + rule.column + " FROM " + rule.table + " WHERE " +
                               rule.column + " IS NOT NULL");
    for (const auto& r : rows.rows) taken.insert(r[0].toInt());
    return NextFreeSlot(rule, SlotPages(rule, keyboardType), taken);
}

std::optional<long long> NextFreeSlot(const SlotRule& rule, int pageCount, const std::set<long long>& taken) {
    const long long pages = pageCount;
    auto inside = [&](long long s) { return s >= 0 && s / rule.stride < pages && s % rule.stride < rule.allocatePerPage; };

    long long next = 0;
    if (!taken.empty()) {
        next = *taken.rbegin() + 1;
        if (next >= 0 && next % rule.stride >= rule.allocatePerPage) next = (next / rule.stride + 1) * rule.stride;
    }
    if (inside(next) && !taken.count(next)) return next;
    for (long long p = 0; p < pages; ++p)
        for (long long i = 0; i < rule.allocatePerPage; ++i)
            if (!taken.count(p * rule.stride + i)) return p * rule.stride + i;
    return std::nullopt;
}

std::optional<records::LimitProblem> CheckSlot(long long slot, int stride, int perPage, int pageCount) {
    if (slot >= 0 && slot / stride < pageCount && slot % stride < perPage) return std::nullopt;
    return records::LimitProblem{msg::SlotOutside,
                                 {std::to_string(slot), std::to_string(pageCount), std::to_string(perPage)}};
}

} // namespace ecr::rows
