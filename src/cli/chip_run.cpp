#include "cli/chip_run.h"

#include <unistd.h>

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>

#include "cli/device_choice.h"
#include "config/configuration.h"
#include "session/sim_state.h"
#include "sim/board_sim.h"
#include "sim/chip_model.h"
#include "sim/kept_chip.h"

namespace merlinox::cli {

ChipRun::ChipRun(GlobalOptions& global, ChipOptions& options, session::BoardOptions& board)
    : global_(global),
      options_(options),
      boardOptions_(board),
      session_(global),
      progress_(stderr, ::isatty(::fileno(stderr)) != 0, global.quiet),
      ui_(*session_.ctx().ui, progress_, session_.ctx()),
      view_(progress_),
      handlers_(session_.ctx(), view_, dialogs_, heldMark_) {
    session_.ctx().ui = &ui_;
    progress_.SetVerbose(global.verbose);
}

ChipRun::~ChipRun() = default;

int ChipRun::Prepare() {
    if (const std::string problem = session_.MarkBusy(); !problem.empty()) {
        std::fprintf(stderr, "kestrel-cli: %s\n", problem.c_str());
        return kRefusedBusy;
    }
    session_.LoadConfiguration();
    Context& ctx = session_.ctx();
    if (const int r = ApplyChipOptions(ctx, options_); r != 0) return r;
    prepared_ = true;
    if (const int r = board_.Open(ctx, boardOptions_, stderr); r != 0) return r;
    if (global_.verbose) {
        std::fprintf(stderr, "kestrel-cli: library %s\nkestrel-cli: device %s\nkestrel-cli: %s\n",
                     ctx.library.libraryPath.c_str(), ctx.device.name.c_str(),
                     ctx.link.demoMode ? "demo mode, no board" : board_.Description().c_str());
    }
    if (sim::SimBoard* simulator = board_.Simulator()) return PrepareSimulatedChip(*simulator);
    return 0;
}

// The socket of the simulated board holds the chip a user would put in for the device
// (see PickChipForSocket); without one the run cannot go on.
int ChipRun::PrepareSimulatedChip(sim::SimBoard& board) {
    const std::string path = session::SimStatePath(options_.simState);
    sim::PickedChip picked =
        sim::PickChipForSocket(path, options_.simChip, ctx().device.deviceCode);
    for (const std::string& notice : picked.notices) {
        std::fprintf(stderr, "kestrel-cli: %s\n", notice.c_str());
    }
    if (!picked.chip) return 2;
    chip_ = std::move(picked.chip);
    board.Insert(chip_.get());
    return 0;
}

void ChipRun::SaveSimulatedChip() {
    if (!chip_) return;
    const std::string path = session::SimStatePath(options_.simState);
    if (const std::string problem = sim::KeepChip(path, *chip_); !problem.empty()) {
        std::fprintf(stderr, "kestrel-cli: %s\n", problem.c_str());
    }
}

int ChipRun::Finish(int result) {
    progress_.Break();
    if (prepared_) SaveConfiguration(session_.ctx());
    SaveSimulatedChip();
    return result;  // the lock goes with the session, after the board's last transfers
}

CLI::App* AddChipCommand(CLI::App& app, GlobalOptions& global, const std::string& name,
                         const std::string& description, std::function<int(ChipRun&)> body) {
    auto* cmd = app.add_subcommand(name, description);
    auto options = std::make_shared<ChipOptions>();
    AddChipOptions(*cmd, *options);
    // The board options are the tool's own (GlobalOptions), given before or after the
    // subcommand name.
    cmd->callback([&global, options, body = std::move(body)] {
        ChipRun run(global, *options, global.board);
        int result = run.Prepare();
        if (result == 0) result = body(run);
        global.exitStatus = run.Finish(result);
    });
    return cmd;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

}  // namespace merlinox::cli
