#include "AppState.h"

namespace ecr {

AppState& App() {
    static AppState state;
    return state;
}

} // namespace ecr
