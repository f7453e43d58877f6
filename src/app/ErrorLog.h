// ecr.log: one five-line record per trapped error, beside the database file.
#pragma once

#include <string>
#include <string_view>

namespace ecr {

// Folder of the log (the database file's folder). Until set, the current folder.
void SetErrorLogFolder(const std::string& folder);
std::string ErrorLogPath();

// Appends: "Location:      ", "Date:          ", "Error Code:    ",
// "Error Message: " lines and 90 hyphens, each ending in CR LF.
void WriteErrorLog(std::string_view location, long long number, std::string_view text);

// The record as written, for a given time stamp "yyyy-mm-dd hh:mm:ss".
std::string FormatErrorRecord(std::string_view location, long long number, std::string_view text,
                              std::string_view timestamp);

} // namespace ecr
