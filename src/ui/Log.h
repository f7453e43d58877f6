// Debug output of the forms and the shell (ecr.gui), off unless --verbose.
#pragma once

#include <QLoggingCategory>

namespace ecr::ui {
Q_DECLARE_LOGGING_CATEGORY(lcGui)

// Turns on debug output of every ecr.* category.
void EnableVerboseLogging();
} // namespace ecr::ui
