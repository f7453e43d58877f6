// The serial transport over a real pseudo-terminal: opening by name, frames
// leaving whole and in order, bytes coming back in whatever pieces.
#include "QtApp.h"
#include "TempDir.h"
#include "app/AppState.h"
#include "link/SerialEvents.h"
#include "link/SerialTransport.h"

#include <gtest/gtest.h>

#include <QSerialPort>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <unistd.h>

using namespace ecr::link;

namespace {

struct Pty {
    int master = -1;
    std::string path;
    Pty() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master);
        ::unlockpt(master);
        path = ::ptsname(master);
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    }
    ~Pty() {
        if (master >= 0) ::close(master);
    }
    QByteArray drain() {
        QByteArray all;
        char buf[8192];
        for (ssize_t n; (n = ::read(master, buf, sizeof buf)) > 0;) all.append(buf, n);
        return all;
    }
    void send(const QByteArray& b) { ASSERT_EQ(::write(master, b.constData(), static_cast<std::size_t>(b.size())), b.size()); }
};

QByteArray counting(int n) {
    QByteArray b(n, 0);
    for (int i = 0; i < n; ++i) b[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return b;
}

struct SerialTest : ::testing::Test {
    Pty pty;
    PortSettings settings{pty.path, 115200};
    SerialTransport port{[this] { return settings; }};
    QByteArray received;
    std::vector<int> events;
    void SetUp() override {
        QObject::connect(&port, &Transport::bytesReceived, [this](const QByteArray& b) { received += b; });
        QObject::connect(&port, &Transport::serialEvent, [this](int e) { events.push_back(e); });
    }
};

} // namespace

TEST_F(SerialTest, LargeFramesLeaveWholeAndInOrder) {
    QString err;
    int code = 0;
    ASSERT_TRUE(port.open(err, code)) << err.toStdString();
    EXPECT_TRUE(port.isOpen());
    for (int size : {4102, 64 * 1024}) { // the second is far beyond what the pty buffers
        const QByteArray frame = counting(size);
        port.write(frame);
        QByteArray got;
        ASSERT_TRUE(ProcessUntil([&] {
            got += pty.drain();
            return got.size() >= size;
        }, 5000)) << size;
        EXPECT_EQ(got, frame);
    }
    port.close();
    EXPECT_FALSE(port.isOpen());
}

TEST_F(SerialTest, OpeningEmptiesWhatWaitedAndClearInputDrops) {
    pty.send("stale bytes");
    QString err;
    int code = 0;
    ASSERT_TRUE(port.open(err, code));
    ProcessUntil([] { return false; }, 50);
    EXPECT_TRUE(received.isEmpty());
    pty.send("xyz");
    port.clearInput();
    ProcessUntil([] { return false; }, 50);
    pty.send("AB");
    ASSERT_TRUE(ProcessUntil([&] { return received.endsWith("AB"); }));
    EXPECT_FALSE(received.contains("xyz"));
}

TEST_F(SerialTest, ReopensWithTheSettingsOfTheMoment) {
    QString err;
    int code = 0;
    settings.portName = "/dev/ecr-no-such-port";
    EXPECT_FALSE(port.open(err, code));
    EXPECT_FALSE(err.isEmpty());
    EXPECT_EQ(code, static_cast<int>(QSerialPort::DeviceNotFoundError));
    EXPECT_FALSE(port.isOpen());
    settings.portName = pty.path;
    err.clear();
    EXPECT_TRUE(port.open(err, code)) << err.toStdString();
    port.write("hi");
    QByteArray got;
    ASSERT_TRUE(ProcessUntil([&] {
        got += pty.drain();
        return got == "hi";
    }));
}

TEST_F(SerialTest, DeviceThatVanishesIsClosedAndReportedOnce) {
    std::vector<QString> failures;
    QObject::connect(&port, &Transport::failed, [&](const QString& t) { failures.push_back(t); });
    QString err;
    int code = 0;
    ASSERT_TRUE(port.open(err, code));
    ::close(pty.master); // the register's end is gone, as when ecr-sim is killed
    pty.master = -1;
    ASSERT_TRUE(ProcessUntil([&] { return !failures.empty(); }, 2000));
    ProcessUntil([] { return false; }, 300); // room for any error that would repeat
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_FALSE(failures.front().isEmpty());
    EXPECT_FALSE(port.isOpen());
    // One error event, not one per event-loop pass.
    EXPECT_EQ(std::count(events.begin(), events.end(), event::Other), 1);
    EXPECT_EQ(port.deviceName(), pty.path);
}

TEST(SerialSettings, PortNamesMeanPathsFilesOrDevices) {
    TempDir dir;
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path);
    std::ofstream("regular.txt") << "x";
    EXPECT_EQ(ResolvePortName("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(ResolvePortName("./regular.txt"), "./regular.txt");
    EXPECT_EQ(ResolvePortName("regular.txt"), (std::filesystem::current_path() / "regular.txt").string());
    EXPECT_EQ(ResolvePortName("ttyUSB0"), "/dev/ttyUSB0");
    std::filesystem::current_path(before);
}

TEST(SerialSettings, StoredDeviceOrNumberedPort) {
    ecr::AppState s;
    s.commPort = 3;
    s.baudRate = 9600;
    EXPECT_EQ(PortSettingsOf(s).portName, "/dev/ttyS2");
    EXPECT_EQ(PortSettingsOf(s).baudRate, 9600);
    s.commPortName = "/dev/ttyUSB0";
    EXPECT_EQ(PortSettingsOf(s).portName, "/dev/ttyUSB0");
}
