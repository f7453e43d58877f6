// The simulated register: its protocol reading, faults, memory image and demo
// data, and the same over a real pseudo-terminal.
#include "QtApp.h"
#include "TempDir.h"
#include "sim/Demo.h"
#include "sim/DemoRecords.h"
#include "sim/Faults.h"
#include "sim/SimRegister.h"
#include "sim/SimServer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <numeric>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace ecr::sim;
using ecr::sim::Bytes;

namespace {

Bytes readRequest(int page) {
    return {0xAA, 0xBB, 0x08, static_cast<std::uint8_t>(page & 0xFF), static_cast<std::uint8_t>(page >> 8)};
}

// Checksum computed here from its definition, not with the simulator's code.
std::uint8_t sumCheck(int page, const Bytes& data) {
    unsigned s = (page & 0xFF) + (page >> 8);
    for (auto b : data) s += b;
    return static_cast<std::uint8_t>(255 - s % 256);
}

Bytes writeFrame(int page, const Bytes& data) {
    Bytes f = {0xAA, 0xBB, 0x09, static_cast<std::uint8_t>(page & 0xFF), static_cast<std::uint8_t>(page >> 8)};
    f.insert(f.end(), data.begin(), data.end());
    f.push_back(sumCheck(page, data));
    return f;
}

Bytes joined(const std::vector<SimRegister::Emission>& e) {
    Bytes all;
    for (const auto& x : e) all.insert(all.end(), x.bytes.begin(), x.bytes.end());
    return all;
}

Bytes pattern() {
    Bytes d(4096);
    std::iota(d.begin(), d.end(), std::uint8_t{3});
    return d;
}

FaultRule fault(const std::string& rule) {
    std::string err;
    auto f = ParseFault(rule, err);
    EXPECT_TRUE(f) << err;
    return f.value_or(FaultRule{});
}

struct SimTest : ::testing::Test {
    RegisterMemory mem;
    SimRegister reg{mem};
    std::vector<std::string> events;
    void SetUp() override {
        reg.onEvent = [this](const std::string& s) { events.push_back(s); };
    }
};

} // namespace

// Plain reads are checked by every end-to-end test against ecr-sim, and the
// checksum by the link's frame tests; here what those never send.
TEST_F(SimTest, StoresAGoodWriteAndRefusesACorruptOne) {
    int changes = 0;
    reg.onMemoryChanged = [&] { ++changes; };
    EXPECT_EQ(joined(reg.feed(writeFrame(4116, pattern()))), (Bytes{0xAA, 0xBB, 0x02}));
    EXPECT_EQ(mem.read(4116), pattern());
    Bytes bad = writeFrame(4113, pattern());
    bad[100] ^= 1;
    EXPECT_EQ(joined(reg.feed(bad)), (Bytes{0xAA, 0xBB, 0x01}));
    EXPECT_FALSE(mem.has(4113));
    EXPECT_EQ(changes, 1);
}

TEST_F(SimTest, FramesInPiecesAndGarbageBetweenThem) {
    Bytes stream = {0x00, 0x13, 0xAA}; // junk, including a lone AA
    const Bytes w = writeFrame(4113, pattern());
    stream.insert(stream.end(), w.begin(), w.end());
    const Bytes r = readRequest(4113);
    stream.insert(stream.end(), r.begin(), r.end());
    std::vector<SimRegister::Emission> all;
    for (std::size_t at = 0; at < stream.size(); at += 7) {
        auto e = reg.feed(std::span(stream).subspan(at, std::min<std::size_t>(7, stream.size() - at)));
        all.insert(all.end(), e.begin(), e.end());
    }
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].bytes, (Bytes{0xAA, 0xBB, 0x02}));
    EXPECT_EQ(Bytes(all[1].bytes.begin() + 5, all[1].bytes.end() - 1), pattern());
    EXPECT_FALSE(reg.hasPartialInput());
    reg.feed(std::span(r).first(3));
    EXPECT_TRUE(reg.hasPartialInput());
    reg.resetInput();
    EXPECT_FALSE(reg.hasPartialInput());
}

TEST_F(SimTest, ClockFrameSetsTheClock) {
    const Bytes f = {0xAA, 0xBB, 0x0B, 0xD9, 0x07, 0x0A, 0x11, 0x09, 0x05, 0xF6};
    EXPECT_EQ(joined(reg.feed(f)), (Bytes{0xAA, 0xBB, 0x02}));
    ASSERT_TRUE(reg.clock());
    EXPECT_EQ(reg.clock()->year, 2009);
    EXPECT_EQ(reg.clock()->minute, 5);
    EXPECT_EQ(events.back(), "clock 2009-10-17 09:05 ok");
    Bytes bad = f;
    bad[9] = 0;
    EXPECT_EQ(joined(reg.feed(bad)), (Bytes{0xAA, 0xBB, 0x01}));
}

// The faults whose reply the PC tells apart (checksum, address, result codes)
// are checked end to end through ecrctl; here the ones it cannot.
TEST_F(SimTest, FaultsOnReads) {
    mem.write(4113, pattern());
    reg.addFault(fault("silence@4113#1"));
    reg.addFault(fault("noise@4113#2"));
    reg.addFault(fault("chunks@4113#3"));
    const Bytes good = joined(reg.feed(readRequest(4116))); // other pages answer normally
    ASSERT_EQ(good.size(), 4102u);

    EXPECT_TRUE(reg.feed(readRequest(4113)).empty());
    Bytes r = joined(reg.feed(readRequest(4113)));
    EXPECT_EQ(Bytes(r.begin(), r.begin() + 6), (Bytes{0x00, 0x55, 0xFF, 0xAA, 0xBB, 0x08}));
    auto pieces = reg.feed(readRequest(4113));
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[0].bytes.size(), 2u);
    EXPECT_EQ(pieces[1].bytes.size(), 1u);
    EXPECT_EQ(pieces[3].bytes.size(), 7u);
    for (const auto& p : pieces) EXPECT_GT(p.delayMs, 0);
    const Bytes whole = joined(pieces);
    EXPECT_EQ(Bytes(whole.begin() + 5, whole.end() - 1), pattern());
    EXPECT_EQ(whole.back(), sumCheck(4113, pattern()));
    // Attempt 4 has no fault left.
    EXPECT_EQ(joined(reg.feed(readRequest(4113))).size(), 4102u);
    EXPECT_EQ(reg.requests(4113), 4);
    EXPECT_EQ(events[1], "read 4113 silence");
    EXPECT_EQ(events[2], "read 4113 noise");
}

TEST_F(SimTest, FaultsOnWritesLeaveThePageAlone) {
    mem.write(4113, Bytes(4096, 0x11));
    reg.addFault(fault("silence@4113#1"));
    reg.addFault(fault("result10@4113#2"));
    reg.addFault(fault("result1@4113#3"));
    reg.addFault(fault("checksum@4113#4"));
    EXPECT_TRUE(reg.feed(writeFrame(4113, pattern())).empty());
    EXPECT_EQ(joined(reg.feed(writeFrame(4113, pattern()))), (Bytes{0xAA, 0xBB, 0x0A}));
    EXPECT_EQ(joined(reg.feed(writeFrame(4113, pattern()))), (Bytes{0xAA, 0xBB, 0x01}));
    EXPECT_EQ(joined(reg.feed(writeFrame(4113, pattern()))), (Bytes{0xAA, 0xBB, 0x01}));
    EXPECT_EQ(mem.read(4113), Bytes(4096, 0x11));
    EXPECT_EQ(joined(reg.feed(writeFrame(4113, pattern()))), (Bytes{0xAA, 0xBB, 0x02}));
    EXPECT_EQ(mem.read(4113), pattern());
}

TEST(SimFaults, Parsing) {
    std::string err;
    auto f = ParseFault("result10@0x1011#2-4", err);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->kind, FaultKind::Result);
    EXPECT_EQ(f->resultCode, 10);
    EXPECT_EQ(f->page, 4113);
    EXPECT_FALSE(f->matches(4113, 1));
    EXPECT_TRUE(f->matches(4113, 2));
    EXPECT_TRUE(f->matches(4113, 4));
    EXPECT_FALSE(f->matches(4113, 5));
    EXPECT_FALSE(f->matches(4116, 3));
    f = ParseFault("silence", err);
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->matches(4192, 1));
    EXPECT_TRUE(f->matches(0, 99));
    f = ParseFault("noise@clock#3-", err);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->page, kClockPage);
    EXPECT_FALSE(f->matches(0, 2));
    EXPECT_TRUE(f->matches(0, 300));
    for (const char* bad : {"loud", "result", "result300", "checksum@", "checksum@12x", "silence#0", "silence#3-2", "silence@70000"})
        EXPECT_FALSE(ParseFault(bad, err)) << bad;
    EXPECT_EQ(FaultName(*ParseFault("result3", err)), "result3");
}

TEST(SimMemory, ImageRoundTripAndBadFiles) {
    TempDir dir;
    RegisterMemory a;
    a.write(4113, pattern());
    a.write(0x1100, Bytes(4096, 0));
    ASSERT_EQ(a.save(dir.file("r.img")), "");
    RegisterMemory b;
    b.write(9, Bytes(4096, 1));
    ASSERT_EQ(b.load(dir.file("r.img")), "");
    EXPECT_EQ(b.addresses(), (std::vector<int>{4113, 0x1100}));
    EXPECT_EQ(b.read(4113), pattern());
    EXPECT_EQ(b.read(9), Bytes(4096, 0xFF));
    EXPECT_NE(b.load(dir.file("none.img")), "");
    { std::ofstream(dir.file("junk.img")) << "not an image"; }
    EXPECT_NE(b.load(dir.file("junk.img")), "");
    std::filesystem::resize_file(dir.file("r.img"), 8 + 2 + 100);
    EXPECT_NE(b.load(dir.file("r.img")), "");
    EXPECT_EQ(b.addresses().size(), 2u); // a failed load keeps what was there
    EXPECT_THROW(b.write(1, Bytes(10, 0)), std::invalid_argument);
}

TEST(SimDemo, EveryTextFitsItsFieldSoTheRegisterHoldsItWhole) {
    using ecr::records::TextLimit;
    // Bytes in the register's code page: a Chinese character takes two.
    const struct {
        const char* text;
        bool fits;
    } cases[] = {
        {"Chicken breast per kg", false}, // 21 bytes
        {"Chicken breast perkg", true},   // 20
        {"饮料饮料饮料饮料饮料", true},     // 20
        {"饮料饮料饮料饮料饮料饮", false},   // 22
        {"", true},
    };
    for (const auto& c : cases) {
        if (c.fits)
            EXPECT_EQ(DemoText(TextLimit(20), c.text), c.text);
        else
            EXPECT_THROW(DemoText(TextLimit(20), c.text), std::logic_error) << c.text;
    }
    // The demo register itself: every name, address, receipt line and taste whole.
    RegisterMemory m;
    EXPECT_NO_THROW(FillDemo(m));
}

namespace {

// The PC's end of the pseudo-terminal, opened raw like a serial port.
struct PcEnd {
    int fd = -1;
    explicit PcEnd(const QString& path) {
        fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios t{};
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
    }
    ~PcEnd() {
        if (fd >= 0) ::close(fd);
    }
    void send(const Bytes& b) {
        std::size_t at = 0;
        while (at < b.size()) {
            ssize_t n = ::write(fd, b.data() + at, b.size() - at);
            if (n > 0) at += static_cast<std::size_t>(n);
            else QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }
    // Reads until n bytes came (events keep the simulator running meanwhile).
    Bytes receive(std::size_t n, int timeoutMs = 3000, std::vector<std::size_t>* chunks = nullptr) {
        Bytes got;
        ProcessUntil([&] {
            std::uint8_t buf[8192];
            const ssize_t r = ::read(fd, buf, sizeof buf);
            if (r > 0) {
                got.insert(got.end(), buf, buf + r);
                if (chunks) chunks->push_back(static_cast<std::size_t>(r));
            }
            return got.size() >= n;
        }, timeoutMs);
        return got;
    }
};

} // namespace

TEST(SimServerPty, ServesFramesOverAPseudoTerminal) {
    RegisterMemory mem;
    mem.write(4113, pattern());
    SimRegister reg(mem);
    reg.addFault(fault("chunks@4116"));
    SimServer server(reg);
    QString err;
    ASSERT_TRUE(server.start(err)) << err.toStdString();
    EXPECT_TRUE(server.path().startsWith("/dev/pts/"));
    PcEnd pc(server.path());
    ASSERT_GE(pc.fd, 0);

    pc.send(readRequest(4113));
    Bytes r = pc.receive(4102);
    ASSERT_EQ(r.size(), 4102u);
    EXPECT_EQ(Bytes(r.begin() + 5, r.end() - 1), pattern());

    // The chunks fault arrives in pieces with pauses, not in one read.
    std::vector<std::size_t> chunks;
    pc.send(readRequest(4116));
    r = pc.receive(4102, 3000, &chunks);
    EXPECT_EQ(r.size(), 4102u);
    EXPECT_GE(chunks.size(), 3u);
    EXPECT_EQ(chunks.front(), 2u);

    // A frame the PC abandons half-way is forgotten after a pause.
    server.setPartialTimeoutMs(50);
    pc.send(Bytes{0xAA, 0xBB, 0x09, 0x11});
    ASSERT_TRUE(ProcessUntil([&] { return reg.hasPartialInput(); }));
    ASSERT_TRUE(ProcessUntil([&] { return !reg.hasPartialInput(); }, 2000));
    pc.send(readRequest(4113));
    EXPECT_EQ(pc.receive(4102).size(), 4102u);
}
