#include "Log.h"

namespace ecr::editors {
Q_LOGGING_CATEGORY(lcEditors, "ecr.editors", QtInfoMsg)
}
