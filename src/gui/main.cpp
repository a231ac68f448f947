// kestrel: the programmer's window.
#include <CLI/CLI.hpp>
#include <QApplication>

#include <cstdio>

#include "app/main_presenter.h"
#include "cli/board_setup.h"
#include "gui/desktop_busy_marker.h"
#include "gui/window_program.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);  // takes the toolkit's own options out of argv

    merlinox::gui::WindowOptions options;
    CLI::App cli{"Merlinox: the window of the parallel-port programmer for Atmel AVR chips"};
    merlinox::cli::AddBoardOptions(cli, options.board);
    cli.add_option("--sim-state", options.simState,
                   "where the simulated chip is kept (shared with kestrel-cli)");
    cli.add_option("--sim-chip", options.simChip,
                   "a part that stays in the simulated socket, whatever device is selected");
    CLI11_PARSE(cli, argc, argv);

    // Not beside a running operation, nor beside a window titled like the program.
    merlinox::gui::DesktopBusyMarker probe(options.lockDirectory);
    if (!merlinox::MayStart(probe)) {
        std::fprintf(stderr, "kestrel: not started: another operation or another window of "
                             "the program is running (lock file %s)\n", probe.LockPath().c_str());
        return 0;
    }

    merlinox::gui::WindowProgram program(std::move(options));
    program.Start();
    program.window.show();
    return QApplication::exec();
}
