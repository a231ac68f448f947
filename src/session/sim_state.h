#pragma once
#include <string>

namespace merlinox::session {

// Where the simulated chip is kept between runs, shared by the window and the command
// line: $XDG_STATE_HOME/merlinox/chip.state, or ~/.local/state/merlinox/chip.state.
std::string DefaultSimStatePath();

// The state file a run uses: the one asked for, or the default when none was.
std::string SimStatePath(const std::string& asked);

}  // namespace merlinox::session
