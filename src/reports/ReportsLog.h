// Debug output of the reports (ecr.reports), off unless --verbose.
#pragma once

#include <QLoggingCategory>

namespace ecr::reports {
inline const QLoggingCategory& lcReports() {
    static const QLoggingCategory category("ecr.reports", QtInfoMsg);
    return category;
}
} // namespace ecr::reports
