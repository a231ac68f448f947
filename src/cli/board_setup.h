#pragma once
#include "session/board_connection.h"

namespace CLI {
class App;
}

namespace merlinox::cli {

// The board options (--board, --port, --trace, --vcd, --sim-fault) of a command.
void AddBoardOptions(CLI::App& command, session::BoardOptions& options);

}  // namespace merlinox::cli
