#include "SimRegister.h"

#include <cstdio>

namespace ecr::sim {

namespace {
constexpr std::uint8_t A = 0xAA, B = 0xBB;
constexpr std::size_t kWriteSize = 4102, kReadSize = 5, kClockSize = 10;

std::string pad2(int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", v);
    return b;
}
} // namespace

std::uint8_t SimRegister::checksum(int address, std::span<const std::uint8_t> data) {
    unsigned s = (address & 0xFF) + ((address >> 8) & 0xFF);
    for (auto b : data) s += b;
    return static_cast<std::uint8_t>(~s & 0xFF);
}

const FaultRule* SimRegister::faultFor(int page, int attempt) const {
    for (const auto& f : faults_)
        if (f.matches(page, attempt)) return &f;
    return nullptr;
}

void SimRegister::answer(std::vector<Emission>& out, Bytes reply, const FaultRule* f) {
    if (f && f->kind == FaultKind::Noise) out.push_back({{0x00, 0x55, 0xFF}, 0});
    if (f && f->kind == FaultKind::Chunks) {
        // Header split across pieces, then most of a page, then its tail.
        std::size_t cuts[] = {2, 3, reply.size() > 7 ? reply.size() - 7 : 3, reply.size()};
        std::size_t from = 0;
        for (std::size_t to : cuts) {
            to = std::min(to, reply.size());
            if (to <= from) continue;
            out.push_back({Bytes(reply.begin() + static_cast<std::ptrdiff_t>(from), reply.begin() + static_cast<std::ptrdiff_t>(to)), 30});
            from = to;
        }
        return;
    }
    out.push_back({std::move(reply), 0});
}

std::vector<SimRegister::Emission> SimRegister::feed(std::span<const std::uint8_t> bytes) {
    std::vector<Emission> out;
    in_.insert(in_.end(), bytes.begin(), bytes.end());
    std::size_t pos = 0;
    for (;;) {
        // Resynchronise on AA BB.
        while (pos < in_.size() && !(in_[pos] == A && (pos + 1 >= in_.size() || in_[pos + 1] == B))) ++pos;
        if (in_.size() - pos < 3) break;
        const std::uint8_t code = in_[pos + 2];
        const std::size_t need = code == 0x08 ? kReadSize : code == 0x09 ? kWriteSize : code == 0x0B ? kClockSize : 0;
        if (need == 0) {
            pos += 1; // not a frame the register knows
            continue;
        }
        if (in_.size() - pos < need) break;
        const std::uint8_t* f = in_.data() + pos;
        pos += need;

        if (code == 0x0B) {
            const int attempt = ++attempts_[kClockPage];
            const FaultRule* fault = faultFor(kClockPage, attempt);
            unsigned s = 0;
            for (int i = 3; i < 9; ++i) s += f[i];
            const bool good = f[9] == static_cast<std::uint8_t>(255 - s % 256);
            if (fault && fault->kind == FaultKind::Silence) {
                event("clock silence");
                continue;
            }
            if (fault && fault->kind == FaultKind::Result) {
                event("clock result" + std::to_string(fault->resultCode));
                answer(out, {A, B, static_cast<std::uint8_t>(fault->resultCode)}, nullptr);
                continue;
            }
            if (!good || (fault && fault->kind == FaultKind::BadChecksum)) {
                event("clock bad-checksum");
                answer(out, {A, B, 0x01}, fault);
                continue;
            }
            clock_ = SimClock{f[3] | (f[4] << 8), f[5], f[6], f[7], f[8]};
            event("clock " + std::to_string(clock_->year) + "-" + pad2(clock_->month) + "-" + pad2(clock_->day) + " " +
                  pad2(clock_->hour) + ":" + pad2(clock_->minute) + " ok");
            answer(out, {A, B, 0x02}, fault);
            continue;
        }

        const int page = f[3] | (f[4] << 8);
        const int attempt = ++attempts_[page];
        const FaultRule* fault = faultFor(page, attempt);
        const std::string what = (code == 0x08 ? "read " : "write ") + std::to_string(page);
        if (fault && fault->kind == FaultKind::Silence) {
            event(what + " silence");
            continue;
        }
        if (fault && fault->kind == FaultKind::Result) {
            event(what + " result" + std::to_string(fault->resultCode));
            answer(out, {A, B, static_cast<std::uint8_t>(fault->resultCode)}, nullptr);
            continue;
        }
        if (code == 0x08) {
            Bytes data = mem_.read(page);
            int addr = page;
            if (fault && fault->kind == FaultKind::SwapAddress) addr = ((page & 0xFF) << 8) | ((page >> 8) & 0xFF);
            Bytes reply = {A, B, 0x08, static_cast<std::uint8_t>(addr & 0xFF), static_cast<std::uint8_t>(addr >> 8)};
            reply.insert(reply.end(), data.begin(), data.end());
            std::uint8_t cs = checksum(page, data);
            if (fault && fault->kind == FaultKind::BadChecksum) cs = static_cast<std::uint8_t>(cs + 1);
            reply.push_back(cs);
            event(what + (fault ? " " + FaultName(*fault) : " page"));
            answer(out, std::move(reply), fault);
            continue;
        }
        // Page write.
        std::span<const std::uint8_t> data(f + 5, 4096);
        if (f[kWriteSize - 1] != checksum(page, data) || (fault && fault->kind == FaultKind::BadChecksum)) {
            event(what + " bad-checksum");
            answer(out, {A, B, 0x01}, nullptr);
            continue;
        }
        mem_.write(page, data);
        if (onMemoryChanged) onMemoryChanged();
        event(what + (fault ? " ok " + FaultName(*fault) : " ok"));
        answer(out, {A, B, 0x02}, fault);
    }
    in_.erase(in_.begin(), in_.begin() + static_cast<std::ptrdiff_t>(pos));
    return out;
}

} // namespace ecr::sim
