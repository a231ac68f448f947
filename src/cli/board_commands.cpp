#include "cli/board_commands.h"

#include <CLI/CLI.hpp>

#include "app/operation_handlers.h"
#include "cli/session.h"
#include "core/context.h"
#include "core/result_code.h"
#include "link/board_control.h"
#include "link/transport.h"

namespace merlinox::cli {

int RunDetect(Context& ctx, const std::string& backEnd, std::FILE* out) {
    if (ctx.link.demoMode) {
        ShowDemoMessage(ctx);
        return kBoardNotFound;
    }
    const int result = DetectBoard(ctx);
    if (result == 0) {
        std::fprintf(out, "Brenner gefunden: %s\n", backEnd.c_str());
    } else {
        std::fprintf(out, "Kein Brenner gefunden (%d): %s\n", result, backEnd.c_str());
    }
    return result;
}

int RunReset(Context& ctx) {
    if (ctx.link.demoMode) {
        ShowDemoMessage(ctx);
        return kBoardNotFound;
    }
    const auto before = ctx.link.failedTransfers;
    SendReset(ctx);
    return ctx.link.failedTransfers == before ? kOk : kHandshakeTimeout;
}

void RunWithBoard(GlobalOptions& global,
                  const std::function<int(Context&, session::BoardConnection&)>& body) {
    Session session(global);
    if (const std::string problem = session.MarkBusy(); !problem.empty()) {
        std::fprintf(stderr, "kestrel-cli: %s\n", problem.c_str());
        global.exitStatus = kRefusedBusy;
        return;
    }
    session.LoadConfiguration();
    session::BoardConnection connection;
    if (const int usage = connection.Open(session.ctx(), global.board, stderr); usage != 0) {
        global.exitStatus = usage;
        return;
    }
    global.exitStatus = body(session.ctx(), connection);
}

void AddDetectCommand(CLI::App& app, GlobalOptions& options) {
    auto* cmd =
        app.add_subcommand("detect", "Search for the programmer board (exit 0 found, 8 or 10 not)");
    cmd->callback([&options] {
        RunWithBoard(options, [](Context& ctx, session::BoardConnection& connection) {
            return RunDetect(ctx, connection.Description(), stdout);
        });
    });
}

void AddResetCommand(CLI::App& app, GlobalOptions& options) {
    auto* cmd = app.add_subcommand("reset", "Give the target its reset pulse (Sende Reset)");
    cmd->callback([&options] {
        RunWithBoard(options,
                     [](Context& ctx, session::BoardConnection&) { return RunReset(ctx); });
    });
}

}  // namespace merlinox::cli
