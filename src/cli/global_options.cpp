#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace merlinox::cli {

void AddGlobalOptions(CLI::App& app, GlobalOptions& options) {
    app.add_flag("-y,--yes", options.yes, "Answer OK and Retry to every question");
    app.add_flag("-q,--quiet", options.quiet, "No progress output");
    AddBoardOptions(app, options.board);
}

}  // namespace merlinox::cli
