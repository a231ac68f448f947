#pragma once
#include <functional>
#include <memory>
#include <string>

#include "app/operation_handlers.h"
#include "cli/board_setup.h"
#include "cli/chip_options.h"
#include "cli/cli_view.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/progress_line.h"
#include "cli/session.h"

namespace CLI {
class App;
}

namespace merlinox::sim {
class SimBoard;
class SimulatedChip;
}  // namespace merlinox::sim

namespace merlinox::cli {

// The busy marker the handlers see inside a run whose session holds the lock already:
// the run's own mark is no other operation, and the session makes and removes it.
class HeldBusyMark : public BusyMarker {
public:
    std::string Create(int, int) override { return {}; }
    void Destroy() override {}
    bool BusyWindowExists() override { return false; }
    bool WindowTitledExists(std::string_view) override { return false; }
};

// One run of a chip command: the session (terminal, context, configuration of the
// current directory), the device chosen on the command line, the board, and the
// window's operation handlers over a view that draws the progress on stderr. The
// configuration is saved at the end, as the window saves it when it closes; on the
// simulated board the chip is kept in its state file. The whole run, from the
// configuration's load to its save, holds the busy lock: a run refused because another
// operation is running changes nothing.
class ChipRun {
public:
    ChipRun(GlobalOptions& global, ChipOptions& options, session::BoardOptions& board);
    ~ChipRun();
    ChipRun(const ChipRun&) = delete;
    ChipRun& operator=(const ChipRun&) = delete;

    // Takes the busy lock, loads the configuration, selects the device, applies the
    // options, sets up the board. 0, or the exit status when the run cannot start.
    int Prepare();
    // Saves the configuration and the simulated chip; returns result.
    int Finish(int result);

    Context& ctx() { return session_.ctx(); }
    OperationHandlers& handlers() { return handlers_; }
    CliFileDialogs& dialogs() { return dialogs_; }

private:
    int SelectDevice();
    int PrepareSimulatedChip(sim::SimBoard& board);
    void SaveSimulatedChip();

    GlobalOptions& global_;
    ChipOptions& options_;
    session::BoardOptions& boardOptions_;
    InterruptAsCancel interrupt_;
    Session session_;
    ProgressLine progress_;
    CliUserInterface ui_;
    CliView view_;
    CliFileDialogs dialogs_;
    HeldBusyMark heldMark_;
    OperationHandlers handlers_;
    // The chip outlives the board that drives it: the board's last transfers at close
    // still reach the socket.
    std::unique_ptr<sim::SimulatedChip> chip_;
    session::BoardConnection board_;
    bool prepared_ = false;
};

// A path given on the command line, made absolute against the current directory.
std::string AbsolutePath(const std::string& path);

// Registers a command that works on a chip, with the device, simulator and board
// options; when it runs, body gets a prepared ChipRun and returns the exit status.
CLI::App* AddChipCommand(CLI::App& app, GlobalOptions& global, const std::string& name,
                         const std::string& description, std::function<int(ChipRun&)> body);

}  // namespace merlinox::cli
