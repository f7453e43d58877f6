// The download check's helpers: test a row's fields against their limits and
// its slot against the kind's pages, collecting what does not fit.
#pragma once

#include "PageRegistry.h"
#include "Slots.h"
#include "records/Limits.h"

#include <string>
#include <string_view>
#include <vector>

namespace ecr::rows {

class RowCheck {
public:
    RowCheck(std::vector<link::RowProblem>& out, int kind, int pointDecimals)
        : out_(out), kind_(kind), p_(pointDecimals) {}
    // The row the next checks are about.
    RowCheck& row(std::string id) {
        row_ = std::move(id);
        return *this;
    }
    RowCheck& text(const char* field, const records::FieldLimit& limit, std::string_view value) {
        add(field, records::CheckText(limit, value, p_));
        return *this;
    }
    RowCheck& number(const char* field, const records::FieldLimit& limit, double value) {
        add(field, records::CheckNumber(limit, value, p_));
        return *this;
    }
    // True when a page of pageCount pages holds the slot; otherwise listed.
    bool slot(const char* field, long long slot, int stride, int perPage, int pageCount) {
        auto p = CheckSlot(slot, stride, perPage, pageCount);
        add(field, p);
        return !p;
    }
    void add(const char* field, const std::optional<records::LimitProblem>& p) {
        if (p) out_.push_back({kind_, row_, field, *p});
    }

private:
    std::vector<link::RowProblem>& out_;
    int kind_;
    int p_;
    std::string row_;
};

// Whether the slot's page is one the download sends.
inline bool InRange(long long slot, int stride, int first, int last) {
    const long long page = slot / stride;
    return page >= first && page <= last;
}

} // namespace ecr::rows
