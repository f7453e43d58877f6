// ecrctl's commands on the database file and on a whole register:
// backup-db, init-data, save-register and load-register.
#pragma once

#include "Transfer.h"

#include <string>
#include <vector>

namespace ecr::cli {

bool IsMaintenanceCommand(const std::string& command);
// Runs the command; returns the exit status. Messages go to stderr, the
// completion message to stdout.
int RunMaintenanceCommand(const GlobalOptions& options, const std::string& command,
                          const std::vector<std::string>& args);

} // namespace ecr::cli
