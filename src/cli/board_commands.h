#pragma once
#include <cstdio>
#include <functional>
#include <string>

#include "cli/board_setup.h"
#include "cli/commands.h"

namespace merlinox::cli {

// The board search: DetectBoard's result (0 found, 8 a board answered wrongly or port
// access is impossible, 10 nothing answered), with one line naming the back end on out.
int RunDetect(Context& ctx, const std::string& backEnd, std::FILE* out);

// The "Sende Reset" pulse: 0, 10 when a transfer of it timed out, 8 in demo mode.
int RunReset(Context& ctx);

// Loads the configuration from the current directory, sets up the board as the global
// options say and runs body on it; body's result becomes the exit status.
void RunWithBoard(GlobalOptions& global,
                  const std::function<int(Context&, session::BoardConnection&)>& body);

}  // namespace merlinox::cli
