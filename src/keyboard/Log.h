// Debug output of the keyboard forms (ecr.keyboard), off unless --verbose.
#pragma once

#include <QLoggingCategory>

namespace ecr::keyboard {
Q_DECLARE_LOGGING_CATEGORY(lcKeyboard)
}
