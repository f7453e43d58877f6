// ecrctl import-plu: the PLU import of the desktop program without windows.
#pragma once

#include "Transfer.h"

#include <string>
#include <vector>

namespace ecr::cli {

// `import-plu FILE [--dry-run]`. Prints "inserted N, updated M, rejected K",
// then "row R: REASON" per rejected row and "row R: warning: REASON" per
// warning. Returns the exit status: 0 the import ran (rejected rows
// included), 1 the file was refused as a whole or the database failed
// (nothing written), 2 a usage error.
int RunImportPlu(const GlobalOptions& options, const std::vector<std::string>& args);

} // namespace ecr::cli
