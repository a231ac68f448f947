#include "cli/chip_run.h"

#include <unistd.h>

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>

#include "cli/device_choice.h"
#include "config/configuration.h"
#include "sim/board_sim.h"
#include "sim/chip_catalogue.h"
#include "sim/chip_model.h"
#include "sim/chip_state_file.h"

namespace merlinox::cli {

ChipRun::ChipRun(GlobalOptions& global, ChipOptions& options, BoardOptions& board)
    : global_(global),
      options_(options),
      boardOptions_(board),
      session_(global),
      progress_(stderr, ::isatty(::fileno(stderr)) != 0, global.quiet),
      ui_(*session_.ctx().ui, progress_, session_.ctx()),
      view_(progress_),
      busy_(BusyLockFile::DefaultDirectory()),
      handlers_(session_.ctx(), view_, dialogs_, busy_) {
    session_.ctx().ui = &ui_;
}

ChipRun::~ChipRun() = default;

int ChipRun::Prepare() {
    session_.LoadConfiguration();
    Context& ctx = session_.ctx();
    if (const int r = ApplyChipOptions(ctx, options_); r != 0) return r;
    prepared_ = true;
    if (const int r = board_.Open(ctx, boardOptions_, stderr); r != 0) return r;
    if (sim::SimBoard* simulator = board_.Simulator()) return PrepareSimulatedChip(*simulator);
    return 0;
}

// The socket of the simulated board holds the chip of the state file when it is the
// part asked for (by --sim-chip, or else any part with the selected device's code);
// otherwise a new, blank chip of that part, as if the user had changed the chip.
int ChipRun::PrepareSimulatedChip(sim::SimBoard& board) {
    Context& ctx = session_.ctx();
    const std::string& path = options_.simState.empty() ? DefaultSimStatePath() : options_.simState;
    std::string error;
    std::optional<sim::ChipState> state;
    if (std::filesystem::exists(path)) {
        state = sim::LoadChipState(path, error);
        if (!state) {
            std::fprintf(stderr, "kestrel-cli: the chip state in %s is unusable (%s); "
                                 "a blank chip is in the socket\n", path.c_str(), error.c_str());
        }
    }
    const sim::ChipFacts* facts = nullptr;
    if (!options_.simChip.empty()) {
        facts = sim::FindChipByName(options_.simChip);
        if (facts == nullptr) {
            std::fprintf(stderr, "kestrel-cli: no simulated part \"%s\"\n", options_.simChip.c_str());
            return 2;
        }
    } else if (state && state->facts->code == ctx.device.deviceCode) {
        facts = state->facts;
    } else {
        facts = sim::FindChipByCode(static_cast<std::uint16_t>(ctx.device.deviceCode));
        if (facts == nullptr) {
            std::fprintf(stderr, "kestrel-cli: no simulated part has the device code 0x%04X\n",
                         static_cast<unsigned>(ctx.device.deviceCode));
            return 2;
        }
    }
    chip_ = std::make_unique<sim::SimulatedChip>(*facts);
    if (state && state->facts == facts) chip_->Contents() = state->contents;
    board.Insert(chip_.get());
    return 0;
}

void ChipRun::SaveSimulatedChip() {
    if (!chip_) return;
    const std::string& path = options_.simState.empty() ? DefaultSimStatePath() : options_.simState;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::string error;
    if (!sim::SaveChipState(path, *chip_, error)) {
        std::fprintf(stderr, "kestrel-cli: the simulated chip could not be kept in %s: %s\n",
                     path.c_str(), error.c_str());
    }
}

int ChipRun::Finish(int result) {
    progress_.Break();
    if (prepared_) SaveConfiguration(session_.ctx());
    SaveSimulatedChip();
    return result;
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
