#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace merlinox::cli {

void AddGlobalOptions(CLI::App& app, GlobalOptions& options) {
    app.add_flag("-y,--yes", options.yes, "Answer OK and Retry to every question");
    auto* quiet = app.add_flag("-q,--quiet", options.quiet,
                               "Only errors and the result: no progress, no answered questions");
    app.add_flag("-v,--verbose", options.verbose,
                 "Also the steps: library, device, board, and the time of each step")
        ->excludes(quiet);
    app.add_option("--library", options.library,
                   "Device library to use when the working directory has no at90list.csv "
                   "(before the installed one)");
    AddBoardOptions(app, options.board);
}

}  // namespace merlinox::cli
