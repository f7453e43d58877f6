#include "TransferPlans.h"

#include "LinkText.h"
#include "app/Config.h"
#include "records/PageKinds.h"

#include <algorithm>

namespace ecr::link {

namespace kind = records::kind;

const std::vector<KindPlan>& KindPlans() {
    // name, shape, base, read, write, retries, pages, pages(kb 0), read caption, (kb 0), write caption, (kb 0),
    // store-parameters flag, caption of the kind
    static const std::vector<KindPlan> plans = {
        {"params", Shape::Params, kind::Params, true, true, false, 1, 0, 0, 0, 0, 0, false, 110011},
        {"cashiers", Shape::SinglePage, kind::Cashier, true, true, false, 1, 0, 0, 0, 0, 0, false, 110013},
        {"departments", Shape::SinglePage, kind::Depart, true, true, false, 1, 0, 0, 0, 0, 0, false, 110014},
        {"keys", Shape::SinglePage, kind::Keyboard, true, true, false, 1, 0, 0, 0, 0, 0, false, 110012},
        {"flashcash", Shape::SinglePage, kind::FlashCash, true, false, false, 1, 0, 0, 0, 0, 0, true, 111547},
        {"plu", Shape::Paged, kind::Plu, true, true, true, 160, 64, 111240, 111528, 111167, 111529, false, 110020},
        {"journal", Shape::Journal, kind::Journal, true, true, true, 768, 352, 111238, 111530, 111383, 111531, false,
         110031},
        {"members", Shape::Paged, kind::Member, true, true, false, 32, 0, 111265, 0, 111266, 0, false, 111242},
        {"promotions", Shape::Paged, kind::Promotion, true, true, false, 8, 0, 111516, 0, 111517, 0, false, 111491},
        {"bundles", Shape::Paged, kind::Bundle, true, true, false, 16, 0, 111352, 0, 111353, 0, false, 111316},
        {"fiscal", Shape::Paged, kind::Fiscal, true, false, false, 16, 0, 111352, 0, 0, 0, false, 111359},
    };
    return plans;
}

const KindPlan* FindKindPlan(std::string_view name) {
    for (const auto& p : KindPlans())
        if (p.name == name) return &p;
    return nullptr;
}

const KindPlan* KindPlanOf(int k) {
    if (k == kind::Journal2 || k == kind::JournalFat) k = kind::Journal;
    for (const auto& p : KindPlans())
        if (p.base == k) return &p;
    return nullptr;
}

bool KindReady(const PageIO& io, const KindPlan& plan, Direction d) {
    if (d == Direction::Read ? !plan.canRead : !plan.canWrite) return false;
    auto has = [&io, d](int k) { return d == Direction::Read ? io.canStore(k) : io.canBuild(k); };
    if (plan.shape == Shape::Journal) return has(kind::Journal) && has(kind::Journal2) && has(kind::JournalFat);
    return has(plan.base);
}

ResolvedPlan Resolve(const KindPlan& plan, Direction d, int keyboardType) {
    const bool key39 = IsKey39Keyboard(keyboardType);
    const bool small = key39 && plan.pagesKeyboard0 > 0;
    ResolvedPlan r;
    r.base = plan.shape == Shape::Journal && key39 ? kind::Journal2 : plan.base;
    r.pages = small ? plan.pagesKeyboard0 : plan.pages;
    if (d == Direction::Read)
        r.progressId = small && plan.progressReadKeyboard0 ? plan.progressReadKeyboard0 : plan.progressRead;
    else
        r.progressId = small && plan.progressWriteKeyboard0 ? plan.progressWriteKeyboard0 : plan.progressWrite;
    return r;
}

PageSpan ClampPages(int firstBox, int lastBox, int pageCount) {
    PageSpan s;
    s.first = std::max(firstBox - 1, 0);
    s.last = std::min(lastBox - 1, pageCount - 1);
    s.ok = s.last >= s.first;
    return s;
}

PagedJob MakePagedJob(const KindPlan& plan, Direction d, int keyboardType, const std::string& progressTemplate,
                      std::optional<std::pair<int, int>> range) {
    const ResolvedPlan r = Resolve(plan, d, keyboardType);
    const PageSpan span = range ? ClampPages(range->first, range->second, r.pages) : PageSpan{0, r.pages - 1, true};
    PagedJob job;
    job.direction = d;
    job.base = r.base;
    job.first = span.first;
    job.last = span.last;
    job.pageCount = r.pages;
    job.retries = plan.retries;
    job.progressTemplate = progressTemplate;
    job.allocation = plan.shape == Shape::Journal;
    job.refreshVersion = plan.shape == Shape::Journal;
    return job;
}

bool ReadReplacesTable(const KindPlan& plan, std::optional<std::pair<int, int>> range) {
    static constexpr std::string_view kinds[] = {"members", "promotions", "bundles", "fiscal"};
    return std::find(std::begin(kinds), std::end(kinds), plan.name) != std::end(kinds) &&
           (!range || range->first <= 1);
}

bool StartKindTransfer(TransferEngine& engine, const KindPlan& plan, Direction d,
                       std::optional<std::pair<int, int>> range, bool replaceTable) {
    switch (plan.shape) {
    case Shape::SinglePage:
        return d == Direction::Read ? engine.uploadSingle(plan.base, plan.storeParameters)
                                    : engine.downloadSingle(plan.base);
    case Shape::Params:
        return d == Direction::Read ? engine.uploadParams() : engine.downloadParams();
    case Shape::Paged:
    case Shape::Journal: {
        if (engine.busy()) return false;
        const int keyboard = engine.pageIO().registerFacts().keyboardType;
        const ResolvedPlan r = Resolve(plan, d, keyboard);
        const std::string caption = r.progressId ? LinkText(r.progressId) : std::string();
        PagedJob job = MakePagedJob(plan, d, keyboard, caption, range);
        job.replaceTable = replaceTable;
        return engine.startPaged(job);
    }
    }
    return false;
}

} // namespace ecr::link
