#include "TransferText.h"

#include "LinkText.h"
#include "TransferPlans.h"
#include "app/GlobalFunc.h"

namespace ecr::link {

std::string MessageText(const LinkMessage& m) {
    if (m.id == 0) return m.detail;
    std::string t = SubstituteArgs(LinkText(m.id), m.args);
    if (!m.detail.empty()) t += "\n" + m.detail;
    return t;
}

std::string KindCaption(int kind) {
    const KindPlan* plan = KindPlanOf(kind);
    if (!plan || !plan->captionId) return std::to_string(kind);
    return LinkText(plan->captionId);
}

std::string ProblemText(const RowProblem& p) {
    std::vector<std::string> args{p.field};
    args.insert(args.end(), p.problem.args.begin(), p.problem.args.end());
    const std::string reason = SubstituteArgs(LinkText(p.problem.messageId), args);
    return SubstituteArgs(LinkText(msg::ProblemLine), {KindCaption(p.kind), p.row, reason});
}

std::string SkippedText(const RecordError& e) {
    return LinkText(msg::ErrorOccurred) + " " +
           SubstituteArgs(LinkText(msg::SkippedLine), {KindCaption(e.kind), std::to_string(e.pageIndex + 1),
                                                       std::to_string(e.recordIndex), e.error});
}

std::string ResultText(const TransferResult& r) {
    std::string t = MessageText(r.message);
    auto line = [&t](const std::string& s) {
        if (!t.empty()) t += "\n";
        t += s;
    };
    if (r.moved > 0) line(SubstituteArgs(LinkText(msg::RowsMoved), {std::to_string(r.moved)}));
    if (!r.skipped.empty()) {
        line(SubstituteArgs(LinkText(msg::RecordsSkipped), {std::to_string(r.skipped.size())}));
        for (const auto& e : r.skipped) line(SkippedText(e));
    }
    for (const auto& p : r.problems) line(ProblemText(p));
    return t;
}

} // namespace ecr::link
