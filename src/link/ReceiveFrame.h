// The receive dispatcher: a state machine fed with the bytes of one reply, in
// whatever chunks the port delivers them. No I/O of its own: the page is handed
// to a store function, and the outcome is read back after feed().
//
// A request is opened by begin() and ends exactly once, with a result and the
// message that becomes LastMessage (empty on success). Bytes that arrive
// while no request is open, after the header turned out to be noise, or behind
// a complete page are dropped and counted in ignoredBytes(): the register only
// ever answers the PC's last frame, so such bytes belong to no request.
#pragma once

#include "LinkMessage.h"
#include "app/GlobalFunc.h"

#include <cstdint>
#include <functional>
#include <string>

namespace ecr::link {

class ReceiveFrame {
public:
    enum class State {
        Idle,     // no request open: bytes are dropped
        Header,   // waiting for AA BB and the code byte
        Page,     // header 08 seen: waiting for address, 4096 data bytes, checksum
        Deaf,     // noise or an unknown code: the request stays open until the caller gives up
        Finished, // the request ended; result() and message() tell how
    };
    enum class Result {
        None,        // not finished
        Ok,          // 2 or 11, or a page that passed its checks and was stored
        ResultA,     // code 10: "result = &HA"
        Refused,     // code 3
        Error,       // code 1
        BadAddress,  // the page's address is not the one asked for
        BadChecksum, // the page's checksum does not match
        StoreFailed, // the page passed its checks but could not be stored
    };

    // Stores a received page of the kind (page index = address - kind); returns
    // "" when stored, else the error text. Runs inside feed().
    using PageStore = std::function<std::string(int kind, ByteView page, int pageIndex)>;

    struct Expect {
        int kind = 0;         // CurrentPageKind
        int pageAddress = 0;  // PageAddrHigh * 256 + PageAddrLow
        bool storePage = true;// false while writing: a download never changes the database
    };

    explicit ReceiveFrame(PageStore store);

    void begin(const Expect& e);
    // Abandons the open request (time-out, stop); later bytes are dropped.
    void cancel();
    // Feeds received bytes. True when this call finished the request.
    bool feed(ByteView bytes);

    State state() const { return state_; }
    bool finished() const { return state_ == State::Finished; }
    Result result() const { return result_; }
    const LinkMessage& message() const { return message_; }
    std::size_t ignoredBytes() const { return ignored_; }

private:
    void finish(Result r, LinkMessage message);
    void deafen();
    void checkPage();

    PageStore store_;
    Expect expect_;
    State state_ = State::Idle;
    Result result_ = Result::None;
    LinkMessage message_;
    Bytes buf_;
    std::size_t taken_ = 0; // bytes the open request has taken so far
    std::size_t ignored_ = 0;
};

const char* ResultName(ReceiveFrame::Result r);

} // namespace ecr::link
