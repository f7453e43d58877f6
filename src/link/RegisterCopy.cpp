#include "RegisterCopy.h"

#include "LinkLog.h"

namespace ecr::link {

namespace {
constexpr std::string_view kProgramming[] = {"params", "cashiers",   "departments", "keys",
                                             "plu",    "members",    "promotions",  "bundles"};
} // namespace

std::vector<RegisterCopy::Part> RegisterCopy::Parts(int keyboardType) {
    std::vector<Part> parts;
    int offset = 0;
    for (std::string_view name : kProgramming) {
        const KindPlan* plan = FindKindPlan(name);
        const ResolvedPlan r = Resolve(*plan, Direction::Write, keyboardType);
        parts.push_back({plan, r.base, r.pages, offset});
        offset += r.pages;
    }
    return parts;
}

std::vector<int> RegisterCopy::Addresses(int keyboardType) {
    std::vector<int> out;
    for (const Part& p : Parts(keyboardType))
        for (int i = 0; i < p.pages; ++i) out.push_back(p.base + i);
    return out;
}

RegisterCopy::RegisterCopy(TransferEngine& engine, PageIO& io, QObject* parent)
    : QObject(parent), engine_(engine), io_(io) {}

RegisterCopy::~RegisterCopy() {
    release();
    if (running_) engine_.stop();
    if (engine_.state() == EngineState::Paused && paused_) engine_.close();
    engine_.usePageIO(nullptr);
}

int RegisterCopy::totalPages() const { return parts_.empty() ? 0 : parts_.back().offset + parts_.back().pages; }

void RegisterCopy::release() {
    for (const auto& c : connections_) disconnect(c);
    connections_.clear();
}

bool RegisterCopy::start(Direction d, int keyboardType) {
    if (running_ || paused_ || engine_.busy() || engine_.state() != EngineState::Idle) return false;
    if (!engine_.usePageIO(&io_)) return false;
    direction_ = d;
    parts_ = Parts(keyboardType);
    part_ = 0;
    release();
    connections_ << connect(&engine_, &TransferEngine::finished, this, &RegisterCopy::onFinished)
                 << connect(&engine_, &TransferEngine::pageStarted, this, [this](int page, const QString&) { onPage(page); });
    qCDebug(lcLink) << "whole register" << (d == Direction::Read ? "read" : "write") << totalPages() << "pages";
    if (startPart(0)) return true;
    release();
    engine_.usePageIO(nullptr);
    return false;
}

bool RegisterCopy::startPart(int firstPage) {
    const Part& p = parts_[part_];
    page_ = p.offset + firstPage + 1;
    // The engine may report the first page from inside the start.
    running_ = true;
    paused_ = false;
    bool started = false;
    if (p.plan->shape == Shape::Paged) {
        // The page list of the run decides the pages, whatever the page I/O says.
        PagedJob job;
        job.direction = direction_;
        job.base = p.base;
        job.first = firstPage;
        job.last = p.pages - 1;
        job.pageCount = p.pages;
        job.retries = p.plan->retries;
        started = engine_.startPaged(job);
    } else {
        emit pageStarted(page_, totalPages(), p.plan);
        started = StartKindTransfer(engine_, *p.plan, direction_);
    }
    running_ = started;
    return started;
}

void RegisterCopy::onPage(int pageInPart) {
    if (!running_) return;
    const Part& p = parts_[part_];
    page_ = p.offset + pageInPart;
    emit pageStarted(page_, totalPages(), p.plan);
}

void RegisterCopy::onFinished(const TransferResult& result) {
    if (!running_) return;
    running_ = false;
    TransferResult r = result;
    if (r.outcome == Outcome::Done && part_ + 1 < parts_.size()) {
        ++part_;
        if (startPart(0)) return;
        r = {Outcome::Failed, {msg::ErrorOccurred, {}, "the transfer of the next kind could not start"}, true, 0};
    }
    if (r.outcome == Outcome::Done) {
        release();
        engine_.usePageIO(nullptr);
        r.page = totalPages();
        qCDebug(lcLink) << "whole register done";
    } else {
        // Every other way out keeps the run where it was, to continue later.
        paused_ = true;
        r.page = page_;
        qCDebug(lcLink) << "whole register paused on page" << page_ << OutcomeName(r.outcome);
    }
    emit finished(r);
}

void RegisterCopy::stop() {
    if (running_) engine_.stop();
}

void RegisterCopy::stopAfterRequest() {
    if (running_) engine_.stopAfterRequest();
}

bool RegisterCopy::resume() {
    if (!paused_) return false;
    if (engine_.state() == EngineState::Paused && engine_.pagedJob()) {
        if (!engine_.resume()) return false;
        running_ = true;
        paused_ = false;
        return true;
    }
    // A single page, or a paged kind that failed before it paused: that part
    // again from the page in hand.
    const Part& p = parts_[part_];
    const int first = p.plan->shape == Shape::Paged ? std::max(0, page_ - p.offset - 1) : 0;
    return startPart(first);
}

void RegisterCopy::close() {
    if (running_) return;
    if (engine_.state() == EngineState::Paused) engine_.close();
    release();
    paused_ = false;
    engine_.usePageIO(nullptr);
}

} // namespace ecr::link
