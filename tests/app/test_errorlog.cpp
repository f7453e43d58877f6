#include "TempDir.h"
#include "app/ErrorLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sstream>

using namespace ecr;

TEST(ErrorLog, FiveLineRecordExactly) {
    const std::string rec = FormatErrorRecord("Comm_InitComm", 8002, "Invalid port number", "2009-10-17 09:05:00");
    const std::string expected = "Location:      Comm_InitComm\r\n"
                                 "Date:          2009-10-17 09:05:00\r\n"
                                 "Error Code:    8002\r\n"
                                 "Error Message: Invalid port number\r\n" +
                                 std::string(90, '-') + "\r\n";
    EXPECT_EQ(rec, expected);
}

TEST(ErrorLog, AppendsBesideTheDatabase) {
    TempDir dir;
    SetErrorLogFolder(dir.path.string() + "/");
    EXPECT_EQ(ErrorLogPath(), dir.path.string() + "/ecr.log");
    SetErrorLogFolder(dir.path.string());
    EXPECT_EQ(ErrorLogPath(), dir.path.string() + "/ecr.log");
    WriteErrorLog("Main", 1, "first");
    WriteErrorLog("GetData_GetPluStruct", -2, "second");
    std::ifstream in(ErrorLogPath(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    const std::string text = s.str();
    EXPECT_EQ(text.rfind("Location:      Main\r\nDate:          ", 0), 0u);
    EXPECT_NE(text.find("Error Code:    -2\r\nError Message: second\r\n"), std::string::npos);
    std::size_t lines = 0;
    for (char c : text) lines += c == '\n';
    EXPECT_EQ(lines, 10u);
    SetErrorLogFolder("");
}

namespace {
std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
} // namespace

TEST(ErrorLog, OwnerOnlyAndRotatedKeepingOnePreviousFile) {
    TempDir dir;
    SetErrorLogFolder(dir.path.string());
    const ::mode_t old = ::umask(022);
    const std::size_t record = FormatErrorRecord("Comm_InitComm", 1, "retry 00", "2009-10-17 09:05:00").size();
    SetErrorLogLimit(3 * record);
    for (int i = 0; i < 8; ++i) WriteErrorLog("Comm_InitComm", 1, "retry " + std::string(i < 10 ? "0" : "") + std::to_string(i));
    ::umask(old);
    SetErrorLogLimit(kErrorLogLimit);
    SetErrorLogFolder("");

    struct stat st {};
    ASSERT_EQ(::stat(dir.file("ecr.log").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // Three records a file: 0-2 went, 3-5 are the previous file, 6-7 the log.
    const std::string now = readAll(dir.file("ecr.log")), before = readAll(dir.file("ecr.log.1"));
    EXPECT_EQ(now.size(), 2 * record);
    EXPECT_EQ(before.size(), 3 * record);
    EXPECT_NE(now.find("retry 06"), std::string::npos);
    EXPECT_NE(now.find("retry 07"), std::string::npos);
    EXPECT_NE(before.find("retry 03"), std::string::npos);
    EXPECT_NE(before.find("retry 05"), std::string::npos);
    EXPECT_EQ((now + before).find("retry 02"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("ecr.log.2")));
}
