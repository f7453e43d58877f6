#include "ErrorLog.h"

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ecr {
namespace {
std::string& folder() {
    static std::string f;
    return f;
}
std::size_t& limit() {
    static std::size_t l = kErrorLogLimit;
    return l;
}
} // namespace

void SetErrorLogFolder(const std::string& f) { folder() = f; }
void SetErrorLogLimit(std::size_t bytes) { limit() = bytes; }

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
    const std::string record = FormatErrorRecord(location, number, text, stamp);
    const std::string path = ErrorLogPath();
    // The log must never take the program down with it: failures are ignored.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && st.st_size > 0 &&
        static_cast<std::size_t>(st.st_size) + record.size() > limit())
        std::rename(path.c_str(), (path + ".1").c_str());
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const char* p = record.data();
    std::size_t left = record.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n <= 0) break;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    ::close(fd);
}

} // namespace ecr
