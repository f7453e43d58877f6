// Debug output of the views (ecr.views), off unless --verbose.
#pragma once

#include <QLoggingCategory>

namespace ecr::views {
Q_DECLARE_LOGGING_CATEGORY(lcViews)
}
