#include "TempDir.h"
#include "app/ErrorLog.h"

#include <gtest/gtest.h>

#include <fstream>
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
