// The receive dispatcher on its own: every reply kind, any chunking, noise,
// and what happens to bytes that belong to no request.
#include "link/Frames.h"
#include "link/LinkMessage.h"
#include "link/ReceiveFrame.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace ecr;
using namespace ecr::link;
using R = ReceiveFrame::Result;
using S = ReceiveFrame::State;

namespace {

struct Stored {
    int kind;
    Bytes page;
    int index;
};

struct DispatcherTest : ::testing::Test {
    std::vector<Stored> stored;
    std::string storeError;
    ReceiveFrame rx{[this](int k, ByteView p, int i) {
        stored.push_back({k, Bytes(p.begin(), p.end()), i});
        return storeError;
    }};

    Bytes data() const {
        Bytes d(4096);
        std::iota(d.begin(), d.end(), std::uint8_t{7});
        return d;
    }
    Bytes page(int addr) const { return PageFrame(code::Page, addr, data()); }
};

} // namespace

TEST_F(DispatcherTest, ResultCodesEndTheRequest) {
    const struct {
        std::uint8_t code;
        R result;
        LinkMessage message;
    } cases[] = {
        {0x02, R::Ok, {}},
        {0x0B, R::Ok, {}},
        {0x0A, R::ResultA, {0, {}, "result = &HA"}},
        {0x03, R::Refused, {111213}},
        {0x01, R::Error, {111214}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.code));
        rx.begin({4113, 4113});
        EXPECT_TRUE(rx.feed(ResultFrame(c.code)));
        EXPECT_EQ(rx.state(), S::Finished);
        EXPECT_EQ(rx.result(), c.result);
        EXPECT_EQ(rx.message(), c.message);
    }
    EXPECT_TRUE(stored.empty());
}

TEST_F(DispatcherTest, UnknownCodeAndNoiseLeaveTheRequestOpenAndDeaf) {
    for (Bytes head : {Bytes{0xAA, 0xBB, 0x07}, Bytes{0x00, 0xAA, 0xBB}, Bytes{0xAA, 0xBC, 0x02}}) {
        rx.begin({4113, 4113});
        EXPECT_FALSE(rx.feed(head));
        EXPECT_EQ(rx.state(), S::Deaf);
        // A good reply behind it is not taken: the caller's time-out decides.
        EXPECT_FALSE(rx.feed(ResultFrame(code::Ok)));
        EXPECT_FALSE(rx.feed(page(4113)));
        EXPECT_EQ(rx.result(), R::None);
        EXPECT_EQ(rx.state(), S::Deaf);
    }
    EXPECT_TRUE(stored.empty());
}

TEST_F(DispatcherTest, PageIsCheckedAndStoredWithItsIndex) {
    rx.begin({4192, 4195});
    EXPECT_TRUE(rx.feed(page(4195)));
    EXPECT_EQ(rx.result(), R::Ok);
    EXPECT_TRUE(rx.message().empty());
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].kind, 4192);
    EXPECT_EQ(stored[0].index, 3);
    EXPECT_EQ(stored[0].page, data());
}

TEST_F(DispatcherTest, PagesThatAreNotStored) {
    const auto changed = [this](std::size_t at) {
        Bytes f = page(4113);
        f[at] ^= 0x40;
        return f;
    };
    Bytes swapped = page(4113);
    std::swap(swapped[3], swapped[4]); // checksum stays right: only the address is wrong
    const struct {
        const char* what;
        Bytes frame;
        bool read;
        R result;
        LinkMessage message;
    } cases[] = {
        {"swapped address", swapped, true, R::BadAddress, {111211}},
        {"changed first data byte", changed(5), true, R::BadChecksum, {111212}},
        {"changed middle byte", changed(2000), true, R::BadChecksum, {111212}},
        {"changed last data byte", changed(4100), true, R::BadChecksum, {111212}},
        {"changed checksum", changed(4101), true, R::BadChecksum, {111212}},
        {"reply to a write", page(4113), false, R::Ok, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        rx.begin({4113, 4113, c.read});
        EXPECT_TRUE(rx.feed(c.frame));
        EXPECT_EQ(rx.result(), c.result);
        EXPECT_EQ(rx.message(), c.message);
    }
    EXPECT_TRUE(stored.empty());
    // A page the store refuses ends with the store's error text.
    storeError = "disk I/O error";
    rx.begin({4113, 4113});
    EXPECT_TRUE(rx.feed(page(4113)));
    EXPECT_EQ(rx.result(), R::StoreFailed);
    EXPECT_EQ(rx.message(), (LinkMessage{111465, {}, "disk I/O error"}));
}

TEST_F(DispatcherTest, AnyChunkingGivesTheSameResult) {
    const Bytes f = page(4352);
    const std::vector<std::vector<std::size_t>> splits = {
        {1, 1, 1, 4099},           // header byte by byte
        {2, 4100},                 // header split
        {4095, 7},                 // what a pty typically gives
        {3, 2, 4096, 1},           // checksum alone
        {5, 4096, 1},
    };
    for (const auto& split : splits) {
        stored.clear();
        rx.begin({4352, 4352});
        std::size_t at = 0;
        for (std::size_t i = 0; i < split.size(); ++i) {
            const bool last = i + 1 == split.size();
            EXPECT_EQ(rx.feed(ByteView(f).subspan(at, split[i])), last);
            at += split[i];
        }
        EXPECT_EQ(at, f.size());
        EXPECT_EQ(rx.result(), R::Ok);
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(stored[0].page, data());
    }
    // Byte by byte: the request ends exactly on the last byte.
    rx.begin({4352, 4352});
    for (std::size_t i = 0; i + 1 < f.size(); ++i) ASSERT_FALSE(rx.feed(ByteView(f).subspan(i, 1)));
    EXPECT_EQ(rx.state(), S::Page);
    EXPECT_TRUE(rx.feed(ByteView(f).last(1)));
}

TEST_F(DispatcherTest, BytesBehindACompletePageAreDropped) {
    // The page is exactly 4099 bytes behind its header; its own last byte is
    // the checksum, whatever follows in the same chunk.
    Bytes f = page(4113);
    const Bytes tail = {0xAA, 0xBB, 0x03, 0x99};
    f.insert(f.end(), tail.begin(), tail.end());
    rx.begin({4113, 4113});
    EXPECT_TRUE(rx.feed(f));
    EXPECT_EQ(rx.result(), R::Ok);
    EXPECT_EQ(rx.ignoredBytes(), 4u);
    // Still finished: later bytes are not a new reply.
    EXPECT_FALSE(rx.feed(ResultFrame(code::Refused)));
    EXPECT_EQ(rx.result(), R::Ok);
    EXPECT_EQ(rx.ignoredBytes(), 7u);
    // Same for a result frame with trailing bytes.
    rx.begin({4113, 4113});
    EXPECT_TRUE(rx.feed(Bytes{0xAA, 0xBB, 0x02, 0x55, 0x66}));
    EXPECT_EQ(rx.result(), R::Ok);
    EXPECT_EQ(rx.ignoredBytes(), 9u);
}

TEST_F(DispatcherTest, IdleAndCancelledRequestsTakeNothing) {
    EXPECT_EQ(rx.state(), S::Idle);
    EXPECT_FALSE(rx.feed(ResultFrame(code::Ok)));
    EXPECT_EQ(rx.ignoredBytes(), 3u);
    rx.begin({4113, 4113});
    const Bytes f = page(4113);
    EXPECT_FALSE(rx.feed(ByteView(f).first(100)));
    rx.cancel(); // time-out or stop in the middle of a page
    EXPECT_EQ(rx.state(), S::Idle);
    EXPECT_FALSE(rx.feed(ByteView(f).subspan(100)));
    EXPECT_TRUE(stored.empty());
    EXPECT_EQ(rx.ignoredBytes(), 3u + f.size());
    // A new request starts clean.
    rx.begin({4113, 4113});
    EXPECT_TRUE(rx.feed(f));
    EXPECT_EQ(rx.result(), R::Ok);
}
