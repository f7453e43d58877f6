// The parameter page over params (the decoded row) and params_all (the
// register's whole page, which a download is built over).
#include "Checks.h"
#include "PageRegistry.h"
#include "Tables.h"
#include "records/Params.h"

#include <algorithm>
#include <cmath>

namespace ecr::rows {

using namespace ecr::records;

namespace {

bool isIntegral(double v) { return std::fabs(v) < 9.0e15 && v == std::trunc(v); }

ParamLayout layoutOf(const AppState& s) { return ChooseParamLayout(s.modelName, s.registerVersion); }

// Stores a received parameter page: always the raw page in params_all, and
// the params row only when the store-parameters flag is set.
void storePage(PageContext& ctx, ByteView page, int) {
    if (ctx.state.storeParameters) {
        const ParamValues v = DecodeParams(page, layoutOf(ctx.state), ctx.state.dataVersion);
        Row row;
        Columns columns{"params", {}};
        for (const auto& c : ParamColumns()) {
            columns.names.push_back(c.name);
            if (c.text) {
                auto it = v.texts.find(c.name);
                row.emplace_back(it == v.texts.end() ? std::string() : it->second);
            } else {
                auto it = v.numbers.find(c.name);
                const double d = it == v.numbers.end() ? 0.0 : it->second;
                if (isIntegral(d))
                    row.emplace_back(static_cast<long long>(d));
                else
                    row.emplace_back(d);
            }
        }
        ctx.db.execute("DELETE FROM params");
        ctx.db.execute(columns.insert(), row);
    }
    ctx.db.execute("DELETE FROM params_all");
    ctx.db.execute("INSERT INTO params_all(param_str) VALUES(?)", {BytesToList(page.subspan(0, kPageSize))});
}

// The stored row by column; empty without a row.
ParamValues storedValues(PageContext& ctx) {
    ParamValues v;
    auto rows = ctx.db.query("SELECT * FROM params LIMIT 1");
    if (rows.empty()) return v;
    for (const auto& c : ParamColumns()) {
        const int i = rows.columnIndex(c.name);
        if (i < 0) continue;
        const db::Value& val = rows.rows[0][static_cast<std::size_t>(i)];
        if (c.text)
            v.texts[c.name] = val.toText();
        else
            v.numbers[c.name] = val.toDouble();
    }
    return v;
}

void buildPage(PageContext& ctx, ByteSpan page, int) {
    const db::Value stored = ctx.db.scalar("SELECT param_str FROM params_all LIMIT 1");
    if (!stored.isNull()) {
        const Bytes bytes = ListToBytes(stored.toText(), kPageSize);
        std::copy(bytes.begin(), bytes.end(), page.begin());
    }
    const ParamValues v = storedValues(ctx);
    if (v.numbers.empty() && v.texts.empty()) return;
    EncodeParams(v, page, layoutOf(ctx.state), ctx.state.dataVersion);
}

// The columns the page carries in the layout and data version in force.
void check(PageContext& ctx, int, int, int, std::vector<link::RowProblem>& out) {
    const ParamValues v = storedValues(ctx);
    const ParamLayout layout = layoutOf(ctx.state);
    RowCheck c(out, kind::Params, 0);
    for (const ParamTextField& f : ParamTextFields(layout)) {
        auto it = v.texts.find(f.column);
        if (ctx.state.dataVersion < f.minVersion || it == v.texts.end()) continue;
        if (f.kind == ParamText::Digits) {
            // Digits only, as many as the field has.
            const bool digits = std::all_of(it->second.begin(), it->second.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
            if (!digits) c.add(f.column.c_str(), LimitProblem{limitmsg::NotANumber, {it->second}});
            else if (it->second.size() > static_cast<std::size_t>(f.writeWidth))
                c.add(f.column.c_str(), LimitProblem{limitmsg::TooLong, {std::to_string(it->second.size()), std::to_string(f.writeWidth)}});
            continue;
        }
        c.text(f.column.c_str(), TextLimit(f.writeWidth), it->second);
    }
    for (const ParamNumberField& f : kParamNumbers) {
        auto it = v.numbers.find(f.column);
        if (it != v.numbers.end()) c.number(f.column, NumberLimit(4, f.decimals), it->second);
    }
}

} // namespace

void AddParamKind(PageRegistry& registry) {
    registry.add(kind::Params, {"GetData_GetParam", storePage, buildPage, {}, check});
}

} // namespace ecr::rows
