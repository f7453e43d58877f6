// Debug output of the editors (ecr.editors), off unless --verbose.
#pragma once

#include <QLoggingCategory>

namespace ecr::editors {
Q_DECLARE_LOGGING_CATEGORY(lcEditors)
}
