#include "Log.h"

namespace ecr::ui {
Q_LOGGING_CATEGORY(lcGui, "ecr.gui", QtInfoMsg)

void EnableVerboseLogging() { QLoggingCategory::setFilterRules(QStringLiteral("ecr.*.debug=true")); }
} // namespace ecr::ui
