#include "session/sim_state.h"

#include <cstdlib>

namespace merlinox::session {

std::string DefaultSimStatePath() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') return std::string(state) + "/merlinox/chip.state";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.local/state/merlinox/chip.state";
}

std::string SimStatePath(const std::string& asked) {
    return asked.empty() ? DefaultSimStatePath() : asked;
}

}  // namespace merlinox::session
