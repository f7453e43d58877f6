#include "ErrorLog.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>

namespace ecr {
namespace {
std::string& folder() {
    static std::string f;
    return f;
}
} // namespace

void SetErrorLogFolder(const std::string& f) { folder() = f; }

std::string ErrorLogPath() {
    const std::string& f = folder();
    if (f.empty()) return "ecr.log";
    if (f.back() == '/' || f.back() == '\\') return f + "ecr.log";
    return f + "/ecr.log";
}

std::string FormatErrorRecord(std::string_view location, long long number, std::string_view text,
                              std::string_view timestamp) {
    std::string r;
    r += "Location:      ";
    r += location;
    r += "\r\nDate:          ";
    r += timestamp;
    r += "\r\nError Code:    ";
    r += std::to_string(number);
    r += "\r\nError Message: ";
    r += text;
    r += "\r\n";
    r += std::string(90, '-');
    r += "\r\n";
    return r;
}

void WriteErrorLog(std::string_view location, long long number, std::string_view text) {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
    // The log must never take the program down with it.
    std::ofstream out(ErrorLogPath(), std::ios::binary | std::ios::app);
    if (out) out << FormatErrorRecord(location, number, text, stamp);
}

} // namespace ecr
