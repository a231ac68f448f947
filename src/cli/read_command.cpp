#include <CLI/CLI.hpp>

#include <map>

#include "cli/chip_run.h"
#include "cli/commands.h"
#include "core/memory_image.h"

namespace merlinox::cli {

namespace {

// The format names of --format, numbered as "DataFormat".
const std::map<std::string, int> kFormats = {
    {"bin", kFormatBinary},
    {"rom", kFormatRom},
    {"intel8", kFormatIntel8},
    {"intel32", kFormatIntel32},
    {"mcs86", kFormatIntelMcs86},
    {"s1", kFormatS1},
    {"s2", kFormatS2},
    {"s3", kFormatS3},
    {"any", kFormatNone},
};

}  // namespace

// `kestrel-cli read FILE [--format F]`: the button "Auslesen" with FILE as the name the
// save dialog was given. Without --format the format the dialog proposes is taken (the
// device's "DataFormat"). As in the window, the name gets the extension of its format
// ("any" keeps it and saves binary), the EEPROM goes into the "eep" companion, and the
// saved file becomes the current data file.
void AddReadCommand(CLI::App& app, GlobalOptions& global) {
    auto file = std::make_shared<std::string>();
    auto format = std::make_shared<int>(-1);
    auto* cmd =
        AddChipCommand(app, global, "read", "Read flash and EEPROM out into a data file",
                       [file, format](ChipRun& run) {
                           // The save dialog's filter index is the format + 1; 0
                           // keeps the dialog's proposal.
                           run.dialogs().Choose(AbsolutePath(*file), *format < 0 ? 0 : *format + 1);
                           return run.handlers().OnReadOutButton();
                       });
    cmd->add_option("file", *file, "File to write")->required();
    cmd->add_option("-f,--format", *format,
                    "bin, rom, intel8, intel32, mcs86, s1, s2, s3, or any (keeps the name's "
                    "extension, saves binary); default: the device's last format")
        ->transform(CLI::CheckedTransformer(kFormats, CLI::ignore_case))
        ->option_text("FORMAT");
}

}  // namespace merlinox::cli
