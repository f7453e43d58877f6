#include "LinkText.h"

#include "app/Messages.h"

namespace ecr::link {

std::string LinkText(int id) {
    std::string t = Msg(id);
    if (t.find_first_not_of(' ') == std::string::npos) return "[" + std::to_string(id) + "]";
    return t;
}

} // namespace ecr::link
