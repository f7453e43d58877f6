#include "ReceiveFrame.h"

#include "Frames.h"

namespace ecr::link {

ReceiveFrame::ReceiveFrame(PageStore store) : store_(std::move(store)) {
    buf_.reserve(kPageTailSize);
}

void ReceiveFrame::begin(const Expect& e) {
    expect_ = e;
    state_ = State::Header;
    result_ = Result::None;
    message_ = {};
    buf_.clear();
    taken_ = 0;
}

void ReceiveFrame::cancel() {
    if (state_ == State::Header || state_ == State::Page) ignored_ += taken_;
    if (state_ != State::Finished) {
        buf_.clear();
        taken_ = 0;
        state_ = State::Idle;
    }
}

void ReceiveFrame::deafen() {
    ignored_ += taken_;
    taken_ = 0;
    buf_.clear();
    state_ = State::Deaf;
}

void ReceiveFrame::finish(Result r, LinkMessage message) {
    result_ = r;
    message_ = std::move(message);
    state_ = State::Finished;
    buf_.clear();
}

bool ReceiveFrame::feed(ByteView bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        switch (state_) {
        case State::Idle:
        case State::Deaf:
        case State::Finished:
            ignored_ += bytes.size() - i;
            return false;
        case State::Header: {
            while (buf_.size() < 3 && i < bytes.size()) {
                buf_.push_back(bytes[i++]);
                ++taken_;
            }
            if (buf_.size() < 3) return false;
            const std::uint8_t c = buf_[2];
            const bool framed = buf_[0] == kHead0 && buf_[1] == kHead1;
            buf_.clear();
            if (!framed) {
                // Out of step with the register: wait for the caller's time-out
                // rather than guess where a reply starts.
                deafen();
                break;
            }
            switch (c) {
            case code::Ok:
            case code::OkAlt: finish(Result::Ok, {}); break;
            case code::ResultA: finish(Result::ResultA, {0, {}, "result = &HA"}); break;
            case code::Refused: finish(Result::Refused, {msg::Refused}); break;
            case code::Error: finish(Result::Error, {msg::RegisterError}); break;
            case code::Page: state_ = State::Page; break;
            default: deafen(); break;
            }
            if (state_ == State::Finished) {
                ignored_ += bytes.size() - i;
                return true;
            }
            break;
        }
        case State::Page: {
            const std::size_t want = kPageTailSize - buf_.size();
            const std::size_t take = std::min(want, bytes.size() - i);
            buf_.insert(buf_.end(), bytes.begin() + static_cast<std::ptrdiff_t>(i),
                        bytes.begin() + static_cast<std::ptrdiff_t>(i + take));
            i += take;
            taken_ += take;
            if (buf_.size() < static_cast<std::size_t>(kPageTailSize)) return false;
            ignored_ += bytes.size() - i;
            checkPage();
            return true;
        }
        }
    }
    return false;
}

void ReceiveFrame::checkPage() {
    const std::uint8_t lo = buf_[0], hi = buf_[1];
    if (lo != (expect_.pageAddress & 0xFF) || hi != ((expect_.pageAddress >> 8) & 0xFF)) {
        finish(Result::BadAddress, {msg::BadAddress});
        return;
    }
    ByteView data(buf_.data() + 2, 4096);
    if (PageChecksum(lo, hi, data) != buf_[kPageTailSize - 1]) {
        finish(Result::BadChecksum, {msg::BadChecksum});
        return;
    }
    if (expect_.storePage && store_) {
        std::string err = store_(expect_.kind, data, expect_.pageAddress - expect_.kind);
        if (!err.empty()) {
            finish(Result::StoreFailed, {msg::ErrorOccurred, {}, err});
            return;
        }
    }
    finish(Result::Ok, {});
}

const char* ResultName(ReceiveFrame::Result r) {
    using R = ReceiveFrame::Result;
    switch (r) {
    case R::None: return "none";
    case R::Ok: return "ok";
    case R::ResultA: return "result 10";
    case R::Refused: return "result 3";
    case R::Error: return "result 1";
    case R::BadAddress: return "bad address";
    case R::BadChecksum: return "bad checksum";
    case R::StoreFailed: return "store failed";
    }
    return "?";
}

} // namespace ecr::link
