#include "cli/board_setup.h"

#include <CLI/CLI.hpp>

namespace merlinox::cli {

void AddBoardOptions(CLI::App& command, session::BoardOptions& options) {
    command
        .add_option("--board", options.board,
                    "auto (ppdev; the simulator only when the kernel lists no parallel port, "
                    "demo mode when a listed port does not open), sim, ppdev or ioport")
        ->check(CLI::IsMember({"auto", "sim", "ppdev", "ioport"}));
    command.add_option_function<std::string>(
        "--port",
        [&options](const std::string& text) {
            options.port = session::ParsePortAddress(text);
            if (!options.port) throw CLI::ValidationError("--port", "not a port address: " + text);
            // The range the configuration file accepts for "PortAdress".
            if (*options.port < session::kLowestPort || *options.port > session::kHighestPort) {
                options.port.reset();
                throw CLI::ValidationError("--port", text + " is outside 0x200 to 0x400");
            }
        },
        "Port base address (e.g. 0x378), instead of PortAdress");
    command.add_option("--trace", options.traceFile,
                       "Write one line per handshake transfer to FILE");
    command.add_option("--vcd", options.vcdFile, "Write the board's decoded lines as a VCD file");
    command.add_option("--sim-fault", options.simFaults,
                       "Simulated board fault: no-board, no-ready, no-ack, die-after=N, "
                       "miss-ack=N, slow-ack=K, stuck-bit=B:V");
}

}  // namespace merlinox::cli
