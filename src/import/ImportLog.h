// Debug output of the spreadsheet import and export (ecr.import), off unless
// --verbose.
#pragma once

#include <QLoggingCategory>

namespace ecr::sheets {
inline const QLoggingCategory& lcImport() {
    static const QLoggingCategory category("ecr.import", QtInfoMsg);
    return category;
}
} // namespace ecr::sheets
