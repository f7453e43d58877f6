// The simulated register's side of the wire protocol, without I/O: bytes from
// the PC go in, answers (with the pause before each piece) come out. It keeps
// its own reading of the frames rather than sharing the PC's code, so the two
// check each other.
#pragma once

#include "Faults.h"
#include "RegisterMemory.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ecr::sim {

struct SimClock {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

class SimRegister {
public:
    struct Emission {
        Bytes bytes;
        int delayMs = 0; // pause before these bytes
    };

    explicit SimRegister(RegisterMemory& memory) : mem_(memory) {}

    void addFault(const FaultRule& r) { faults_.push_back(r); }
    void clearFaults() { faults_.clear(); }

    // Takes bytes from the PC; returns what the register sends back. Bytes
    // that start no known frame are skipped up to the next AA BB.
    std::vector<Emission> feed(std::span<const std::uint8_t> bytes);
    // A frame that started but never completed (the PC gave up half-way).
    bool hasPartialInput() const { return !in_.empty(); }
    void resetInput() { in_.clear(); }

    // Requests seen for a page address (kClockPage for the clock).
    int requests(int page) const {
        auto it = attempts_.find(page);
        return it == attempts_.end() ? 0 : it->second;
    }
    const std::optional<SimClock>& clock() const { return clock_; }

    // One line per request: "read 4113 page", "write 4116 ok", "read 4113 checksum", ...
    std::function<void(const std::string&)> onEvent;
    // After a page was stored.
    std::function<void()> onMemoryChanged;

    static std::uint8_t checksum(int address, std::span<const std::uint8_t> data);

private:
    const FaultRule* faultFor(int page, int attempt) const;
    void answer(std::vector<Emission>& out, Bytes reply, const FaultRule* f);
    void event(const std::string& s) {
        if (onEvent) onEvent(s);
    }

    RegisterMemory& mem_;
    std::vector<FaultRule> faults_;
    std::map<int, int> attempts_;
    std::optional<SimClock> clock_;
    Bytes in_;
};

} // namespace ecr::sim
