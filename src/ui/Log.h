// Debug output of the forms and the shell (ecr.gui), off unless --verbose.
#pragma once

#include <QLoggingCategory>

namespace ecr::ui {
Q_DECLARE_LOGGING_CATEGORY(lcGui)

// Debug output of every ecr.* category on (--verbose) or off.
void SetVerboseLogging(bool verbose);
} // namespace ecr::ui
