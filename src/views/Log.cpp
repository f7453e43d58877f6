#include "Log.h"

namespace ecr::views {
Q_LOGGING_CATEGORY(lcViews, "ecr.views", QtInfoMsg)
}
