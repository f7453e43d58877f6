// ecrctl's register commands: upload, download, set-clock, send-logo. They
// drive the same engine and kind table as the desktop editors.
#pragma once

#include <string>
#include <vector>

namespace ecr::cli {

struct GlobalOptions {
    std::string dbPath;
    std::string port; // "" = stored setting
    int baud = 0;     // 0 = stored setting
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

bool IsTransferCommand(const std::string& command);
// Runs the command; returns the exit status. Usage errors print to stderr.
int RunTransferCommand(const GlobalOptions& options, const std::string& command, const std::vector<std::string>& args);

} // namespace ecr::cli
