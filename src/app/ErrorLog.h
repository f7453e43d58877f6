// ecr.log: one five-line record per trapped error, beside the database file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ecr {

// Folder of the log (the database file's folder). Until set, the current folder.
void SetErrorLogFolder(const std::string& folder);
std::string ErrorLogPath();

// Appends: "Location:      ", "Date:          ", "Error Code:    ",
// "Error Message: " lines and 90 hyphens, each ending in CR LF. A new log is
// readable by its owner only; one that would grow past the limit is first
// renamed to ecr.log.1 (replacing the previous one), so the log keeps the
// latest records and one earlier file.
void WriteErrorLog(std::string_view location, long long number, std::string_view text);

inline constexpr std::size_t kErrorLogLimit = 1024 * 1024;
// The size at which the log is rotated (kErrorLogLimit unless set).
void SetErrorLogLimit(std::size_t bytes);

// The record as written, for a given time stamp "yyyy-mm-dd hh:mm:ss".
std::string FormatErrorRecord(std::string_view location, long long number, std::string_view text,
                              std::string_view timestamp);

} // namespace ecr
