// Catalogue texts of the link's message ids, in the current language.
#pragma once

#include "LinkMessage.h"

#include <string>

namespace ecr::link {

// Never empty: a missing text reads "[id]", so a failure can never pass for
// success.
std::string LinkText(int id);

} // namespace ecr::link
