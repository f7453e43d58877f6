#include "Faults.h"

#include <charconv>

namespace ecr::sim {

namespace {
bool number(std::string_view s, int& out) {
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
        base = 16;
    }
    if (s.empty()) return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out, base);
    return ec == std::errc() && p == s.data() + s.size() && out >= 0;
}
} // namespace

std::optional<FaultRule> ParseFault(std::string_view rule, std::string& error) {
    FaultRule r;
    std::string_view kind = rule, page = "*", attempts = "*";
    if (auto h = kind.find('#'); h != std::string_view::npos) {
        attempts = kind.substr(h + 1);
        kind = kind.substr(0, h);
    }
    if (auto a = kind.find('@'); a != std::string_view::npos) {
        page = kind.substr(a + 1);
        kind = kind.substr(0, a);
    }
    if (kind == "silence") r.kind = FaultKind::Silence;
    else if (kind == "checksum") r.kind = FaultKind::BadChecksum;
    else if (kind == "address") r.kind = FaultKind::SwapAddress;
    else if (kind == "noise") r.kind = FaultKind::Noise;
    else if (kind == "chunks") r.kind = FaultKind::Chunks;
    else if (kind.substr(0, 6) == "result" && number(kind.substr(6), r.resultCode) && r.resultCode < 256)
        r.kind = FaultKind::Result;
    else {
        error = "unknown fault '" + std::string(kind) + "'";
        return std::nullopt;
    }
    if (page != "*") {
        if (page == "clock") r.page = kClockPage;
        else if (!number(page, r.page) || r.page > 0xFFFF) {
            error = "bad page '" + std::string(page) + "'";
            return std::nullopt;
        }
    }
    if (attempts != "*") {
        const auto dash = attempts.find('-');
        bool ok = number(attempts.substr(0, dash), r.fromAttempt) && r.fromAttempt >= 1;
        if (ok && dash == std::string_view::npos) r.toAttempt = r.fromAttempt;
        else if (ok && dash + 1 < attempts.size()) ok = number(attempts.substr(dash + 1), r.toAttempt) && r.toAttempt >= r.fromAttempt;
        if (!ok) {
            error = "bad attempts '" + std::string(attempts) + "'";
            return std::nullopt;
        }
    }
    return r;
}

std::string FaultName(const FaultRule& r) {
    switch (r.kind) {
    case FaultKind::Silence: return "silence";
    case FaultKind::BadChecksum: return "checksum";
    case FaultKind::SwapAddress: return "address";
    case FaultKind::Result: return "result" + std::to_string(r.resultCode);
    case FaultKind::Noise: return "noise";
    case FaultKind::Chunks: return "chunks";
    }
    return "?";
}

} // namespace ecr::sim
