// Faults the simulated register can be told to commit, per page address and
// per attempt (the n-th request naming that page).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ecr::sim {

enum class FaultKind {
    Silence,     // no answer at all; a write is not stored
    BadChecksum, // page reply with a wrong checksum; a write is taken as corrupted (result 1, not stored)
    SwapAddress, // page reply with its address bytes swapped
    Result,      // answer AA BB <code>; a write is not stored
    Noise,       // three stray bytes before the answer
    Chunks,      // the answer in pieces with pauses between them
};

inline constexpr int kAnyPage = -1;
inline constexpr int kClockPage = 0; // the clock frame names no page

struct FaultRule {
    FaultKind kind = FaultKind::Silence;
    int resultCode = 0;  // Result
    int page = kAnyPage; // page address, kClockPage, or kAnyPage
    int fromAttempt = 1; // 1-based, inclusive
    int toAttempt = 0;   // 0: no upper bound
    bool matches(int pageAddress, int attempt) const {
        return (page == kAnyPage || page == pageAddress) && attempt >= fromAttempt &&
               (toAttempt == 0 || attempt <= toAttempt);
    }
};

// KIND[@PAGE][#ATTEMPTS]: silence, checksum, address, result<N> (result1,
// result3, result10, ...), noise, chunks; PAGE a number (0x.. for hex),
// "clock" or "*"; ATTEMPTS "N", "N-M", "N-" or "*". On error returns nullopt
// and sets error.
std::optional<FaultRule> ParseFault(std::string_view rule, std::string& error);
std::string FaultName(const FaultRule& r);

} // namespace ecr::sim
