#include "Log.h"

namespace ecr::keyboard {
Q_LOGGING_CATEGORY(lcKeyboard, "ecr.keyboard", QtInfoMsg)
}
