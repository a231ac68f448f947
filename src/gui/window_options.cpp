#include "gui/window_options.h"

#include <QCommandLineParser>

#include <string_view>

#include "gui/qt_text.h"
#include "version.h"

namespace merlinox::gui {

namespace {

WindowCommand Refuse(const std::string& reason) {
    return {false, "kestrel: " + reason + "\nRun with --help for more information.\n", 2};
}

}  // namespace

bool AsksForTextOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--version" || word == "--help" || word == "-h") return true;
    }
    return false;
}

WindowCommand ParseWindowCommand(const QStringList& arguments, WindowOptions& options) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Merlinox: the window of the parallel-port programmer for Atmel AVR chips");
    const QCommandLineOption help({"h", "help"}, "Print this help and exit.");
    const QCommandLineOption version("version", "Print the version and exit.");
    const QCommandLineOption board(
        "board",
        "auto (ppdev; the simulator only when the kernel lists no parallel port, demo mode "
        "when a listed port does not open), sim, ppdev or ioport.",
        "KIND", "auto");
    const QCommandLineOption port("port", "Port base address (e.g. 0x378), instead of PortAdress.",
                                  "ADDRESS");
    const QCommandLineOption trace("trace", "Write one line per handshake transfer to FILE.",
                                   "FILE");
    const QCommandLineOption vcd("vcd", "Write the board's decoded lines as a VCD file.", "FILE");
    const QCommandLineOption fault("sim-fault",
                                   "Simulated board fault: no-board, no-ready, no-ack, "
                                   "die-after=N, miss-ack=N, slow-ack=K, stuck-bit=B:V.",
                                   "FAULT");
    const QCommandLineOption simState(
        "sim-state", "Where the simulated chip is kept (shared with kestrel-cli).", "FILE");
    const QCommandLineOption simChip(
        "sim-chip", "A part that stays in the simulated socket, whatever device is selected.",
        "PART");
    parser.addOptions({help, version, board, port, trace, vcd, fault, simState, simChip});

    if (!parser.parse(arguments)) return Refuse(FromQt(parser.errorText()));
    if (parser.isSet(version)) return {false, "kestrel (Merlinox) " KESTREL_VERSION_STRING "\n", 0};
    if (parser.isSet(help)) return {false, FromQt(parser.helpText()), 0};
    if (!parser.positionalArguments().isEmpty()) {
        return Refuse("unexpected argument: " + FromQt(parser.positionalArguments().first()));
    }

    options.board.board = FromQt(parser.value(board));
    if (options.board.board != "auto" && options.board.board != "sim" &&
        options.board.board != "ppdev" && options.board.board != "ioport") {
        return Refuse("--board: " + options.board.board + " is not auto, sim, ppdev or ioport");
    }
    if (parser.isSet(port)) {
        const std::string text = FromQt(parser.value(port));
        options.board.port = session::ParsePortAddress(text);
        if (!options.board.port) return Refuse("--port: not a port address: " + text);
        // The range the configuration file accepts for "PortAdress".
        if (*options.board.port < session::kLowestPort ||
            *options.board.port > session::kHighestPort) {
            return Refuse("--port: " + text + " is outside 0x200 to 0x400");
        }
    }
    options.board.traceFile = FromQt(parser.value(trace));
    options.board.vcdFile = FromQt(parser.value(vcd));
    for (const QString& text : parser.values(fault))
        options.board.simFaults.push_back(FromQt(text));
    options.simState = FromQt(parser.value(simState));
    options.simChip = FromQt(parser.value(simChip));
    return {true, "", 0};
}

}  // namespace merlinox::gui
