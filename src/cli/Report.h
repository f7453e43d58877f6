// ecrctl report: any report of the desktop program written as CSV, .xlsx or
// PDF without a window.
#pragma once

#include "Transfer.h"

#include <QCoreApplication>

#include <memory>
#include <string>
#include <vector>

namespace ecr::cli {

// The report command paints PDFs: it gets a Gui application on the offscreen
// platform; every other command a core application.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv);

bool IsReportCommand(const std::string& command);
// args: NAME and the report's options. Returns the exit status.
int RunReportCommand(const GlobalOptions& options, const std::vector<std::string>& args);

} // namespace ecr::cli
