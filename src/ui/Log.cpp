#include "Log.h"

namespace ecr::ui {
Q_LOGGING_CATEGORY(lcGui, "ecr.gui", QtInfoMsg)

void SetVerboseLogging(bool verbose) {
    QLoggingCategory::setFilterRules(verbose ? QStringLiteral("ecr.*.debug=true") : QStringLiteral("ecr.*.debug=false"));
}
} // namespace ecr::ui
