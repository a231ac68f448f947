// kestrel: the programmer's window.
#include <CLI/CLI.hpp>
#include <QApplication>
#include <cstdio>
#include <string_view>

#include "app/main_presenter.h"
#include "cli/board_setup.h"
#include "gui/desktop_busy_marker.h"
#include "gui/window_program.h"
#include "version.h"

namespace {

bool AsksForTextOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--version" || word == "--help" || word == "-h") return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    merlinox::gui::WindowOptions options;
    CLI::App cli{"Merlinox: the window of the parallel-port programmer for Atmel AVR chips"};
    cli.set_version_flag("--version", "kestrel (Merlinox) " KESTREL_VERSION_STRING);
    merlinox::cli::AddBoardOptions(cli, options.board);
    cli.add_option("--sim-state", options.simState,
                   "where the simulated chip is kept (shared with kestrel-cli)");
    cli.add_option("--sim-chip", options.simChip,
                   "a part that stays in the simulated socket, whatever device is selected");
    // The version and the help need no display, so they come before the toolkit.
    if (AsksForTextOnly(argc, argv)) CLI11_PARSE(cli, argc, argv);

    QApplication application(argc, argv);  // takes the toolkit's own options out of argv
    CLI11_PARSE(cli, argc, argv);

    // Not beside a running operation, nor beside a window titled like the program.
    merlinox::gui::DesktopBusyMarker probe(options.lockDirectory);
    if (!merlinox::MayStart(probe)) {
        // The window quits as it always has, but a lock file is nothing the user can
        // see: say why.
        if (probe.BusyWindowExists()) {
            std::fprintf(stderr,
                         "kestrel: another programmer operation is running (lock file %s, or "
                         "a busy window on the display); start the window again when it has "
                         "ended\n",
                         probe.LockPath().c_str());
        } else {
            std::fprintf(stderr, "kestrel: a Merlinox window is already open\n");
        }
        return 0;
    }

    merlinox::gui::WindowProgram program(std::move(options));
    program.Start();
    program.window.show();
    return QApplication::exec();
}
