#include <unistd.h>

#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <string>

#include "app/app_context.h"
#include "cli/commands.h"
#include "cli/terminal_ui.h"
#include "files/conversion.h"

namespace merlinox::cli {

namespace {

struct ConvertArgs {
    ConversionRequest request;
    std::string format;
    bool eeprom = false;
};

// The command's own context: no pendrake.ini, no device library, no board.
int RunConvert(ConvertArgs& args, const GlobalOptions& options) {
    args.request.outputFormat = DataFormatFromName(args.format);
    args.request.kind = args.eeprom ? kEeprom : kFlash;
    args.request.hexLineLen &= ~1u;  // even, as the configuration keeps it
    TerminalUi ui(stdin, stderr, options.yes, isatty(fileno(stdin)) != 0);
    AppContext ctx(ui);
    return ConvertDataFile(ctx, args.request);
}

}  // namespace

void AddConvertCommand(CLI::App& app, GlobalOptions& options) {
    auto args = std::make_shared<ConvertArgs>();
    auto* cmd = app.add_subcommand("convert", "Convert a data file into another format");
    cmd->add_option("IN", args->request.inputPath, "Data file to read; its format is recognised")
        ->required();
    cmd->add_option("OUT", args->request.outputPath, "Data file to write; replaced if it exists")
        ->required();
    cmd->add_option("-f,--format", args->format,
                    "Output format: 1 to 8 or bin, rom, intel8, intel32, mcs86, s1, s2, s3")
        ->required()
        ->check(CLI::Validator(
            [](const std::string& value) {
                return DataFormatFromName(value) == kFormatNone
                           ? std::string("unknown format: ") + value
                           : std::string();
            },
            "FORMAT"));
    cmd->add_option("--flash-bytes", args->request.flashBytes,
                    "Flash size in bytes (default 0x40000, the largest the image holds)")
        ->check(CLI::Range(2u, 0x40000u));
    cmd->add_option("--eeprom-bytes", args->request.eepromBytes,
                    "EEPROM size in bytes with --eeprom (default 0x40000)")
        ->check(CLI::Range(1u, 0x40000u));
    cmd->add_flag("--eeprom", args->eeprom, "The files hold EEPROM bytes instead of flash words");
    cmd->add_flag("--ff-save", args->request.ffSave,
                  "Write blank cells too (\"Leerzellen speichern\")");
    cmd->add_option("--hex-line-len", args->request.hexLineLen,
                    "Data bytes per record, 2 to 254 (default 32)")
        ->check(CLI::Range(2u, 254u));
    cmd->callback([args, &options] { options.exitStatus = RunConvert(*args, options); });
}

}  // namespace merlinox::cli
