#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/fuse_panel_view.h"
#include "cli/chip_options.h"
#include "cli/chip_run.h"
#include "cli/cli_view.h"
#include "cli/commands.h"
#include "cli/device_choice.h"
#include "cli/fuse_json.h"
#include "cli/session.h"
#include "config/configuration.h"
#include "core/context.h"
#include "core/device_record.h"
#include "devices/fuse_defaults.h"
#include "devices/fuse_layout.h"
#include "devices/fuse_panel.h"
#include "operations/fuse_read.h"

namespace merlinox::cli {

namespace {

constexpr std::string_view kModeNames[] = {"-",    "PAR1", "PAR2",  "PAR3", "PAR4",
                                           "SPI1", "SPI2", "MSPI1", "MSPI2"};

// A byte by its settings key or its short name.
std::optional<FuseByte> ByteNamed(std::string_view name) {
    static constexpr std::string_view kShort[] = {"lock", "low", "high", "ext"};
    for (int b = 0; b < kFuseByteCount; ++b) {
        const auto byte = static_cast<FuseByte>(b);
        if (EqualIgnoringCase(name, FuseByteKey(byte)) || EqualIgnoringCase(name, kShort[b]))
            return byte;
    }
    return std::nullopt;
}

// The four bytes bit by bit with the panel's names; a byte that was not read is only
// named as such.
void PrintFuseBytes(const Context& ctx, const ChipFuseBytes& bytes, std::FILE* out) {
    const DeviceRecord& dev = ctx.device;
    const FuseBits bits = DescribeFuseBits(dev);
    const int mode = dev.programmingMode >= 0 && dev.programmingMode <= 8 ? dev.programmingMode : 0;
    std::fprintf(out, "%s, %s (0 = programmed, like a ticked box)\n", dev.name.c_str(),
                 std::string(kModeNames[mode]).c_str());
    for (int b = 0; b < kFuseByteCount; ++b) {
        const auto byte = static_cast<FuseByte>(b);
        const auto index = static_cast<std::size_t>(b);
        if (!bytes.read[index]) {
            std::fprintf(out, "%-8s not read\n", std::string(FuseByteKey(byte)).c_str());
            continue;
        }
        const unsigned value = bytes.value[index];
        std::fprintf(out, "%-8s 0x%02X\n", std::string(FuseByteKey(byte)).c_str(), value);
        for (int bit = 7; bit >= 0; --bit) {
            const FuseBit& f = bits.At(byte, bit);
            std::fprintf(out, "  bit %d  %-9s %u%s\n", bit, std::string(f.label).c_str(),
                         (value >> bit) & 1u, f.enabled ? "" : "  (fixed)");
        }
    }
}

void PrintFuses(const Context& ctx, std::FILE* out) {
    ChipFuseBytes settings;
    for (int b = 0; b < kFuseByteCount; ++b) {
        const auto index = static_cast<std::size_t>(b);
        settings.value[index] = FuseByteOf(ctx.settings, static_cast<FuseByte>(b));
        settings.read[index] = true;
    }
    PrintFuseBytes(ctx, settings, out);
}

// `fuses --read`: the chip's bytes, through the window's button on the chosen board.
void ReadFromChip(GlobalOptions& global, ChipOptions& options, bool keep) {
    ChipRun run(global, options, global.board);
    int result = run.Prepare();
    if (result == 0) result = run.handlers().OnReadFusesButton(keep);
    if (result == 0) PrintFuseBytes(run.ctx(), run.handlers().ChipFuses(), stdout);
    global.exitStatus = run.Finish(result);
}

// One NAME=VALUE: a byte with a number, or a bit label with 0 (programmed) or 1. Bits go
// through the panel's own click logic (Lock2 pulls Lock1 along and back).
bool ApplySetting(Context& ctx, CliView& view, const std::string& setting, std::string& error) {
    const std::size_t eq = setting.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == setting.size()) {
        error = "expected NAME=VALUE, got \"" + setting + "\"";
        return false;
    }
    const std::string name = setting.substr(0, eq);
    const std::string text = setting.substr(eq + 1);
    if (const auto byte = ByteNamed(name)) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(text.c_str(), &end, 0);
        if (*end != '\0' || value > 0xFF) {
            error = "\"" + text + "\" is not a byte value (0 to 0xFF)";
            return false;
        }
        FuseByteOf(ctx.settings, *byte) = static_cast<std::uint8_t>(value);
        ForceFixedFuseBits(ctx);
        return true;
    }
    if (text != "0" && text != "1") {
        error = "bit " + name + " takes 0 (programmed) or 1 (unprogrammed)";
        return false;
    }
    const FuseBits bits = DescribeFuseBits(ctx.device);
    const FuseBit* found = nullptr;
    for (const FuseBit& bit : bits.bits) {
        if (bit.label == kUnusedBitLabel || !EqualIgnoringCase(bit.label, name)) continue;
        if (found != nullptr) {
            error = "bit name " + name + " is ambiguous for this device";
            return false;
        }
        found = &bit;
    }
    if (found == nullptr) {
        error = "the device has no bit " + name + " in this programming mode";
        return false;
    }
    if (!found->enabled) {
        error = "bit " + name + " cannot be changed in this programming mode";
        return false;
    }
    view.SetChecked(found->controlId, text == "0");
    OnFuseBoxClicked(ctx, view, found->controlId);
    return true;
}

}  // namespace

// `kestrel-cli fuses [--set NAME=VALUE ...] [--standard]`: the fuse and lock-bit panel.
// `--read` shows what the chip holds instead; with `--keep` that becomes the settings.
// Shows the lock byte and the three fuse bytes bit by bit with the names the panel gives
// them for the selected device and mode; sets them by byte (LockBits, FuseLow, FuseHigh,
// FuseExt or lock, low, high, ext) or by bit name. The values are kept in the device's
// section of pendrake.ini and written to the chip by the next `program`.
void AddFusesCommand(CLI::App& app, GlobalOptions& global) {
    auto* cmd =
        app.add_subcommand("fuses", "Show or set the fuse and lock bits for the next program");
    auto options = std::make_shared<ChipOptions>();
    auto settings = std::make_shared<std::vector<std::string>>();
    auto standard = std::make_shared<bool>(false);
    auto json = std::make_shared<bool>(false);
    auto read = std::make_shared<bool>(false);
    auto keep = std::make_shared<bool>(false);
    cmd->add_option("-s,--set", *settings, "NAME=VALUE: a byte and its value, or a bit and 0/1");
    cmd->add_flag("--standard", *standard, "The device's default values (button \"Standard\")");
    cmd->add_flag("--json", *json, "Show the stored bytes and bits as one JSON object");
    auto* readFlag = cmd->add_flag("--read", *read, "Read the bytes from the chip and show them");
    cmd->add_flag("--keep", *keep, "With --read: keep what the chip holds as the settings")
        ->needs(readFlag);
    readFlag->excludes("--set")->excludes("--standard")->excludes("--json");
    AddChipOptions(*cmd, *options);
    cmd->callback([&global, options, settings, standard, json, read, keep] {
        if (*read) {
            ReadFromChip(global, *options, *keep);
            return;
        }
        Session session(global);
        session.LoadConfiguration();
        Context& ctx = session.ctx();
        int result = ApplyChipOptions(ctx, *options);
        ProgressLine quiet(stderr, false, true);
        CliView view(quiet);
        if (result == 0 && *standard) ApplyFuseDefaults(ctx);
        // As the window's panel: forced bits, and the message for a device without a row.
        if (result == 0) EnableFuses(ctx, view);
        for (const std::string& setting : *settings) {
            std::string error;
            // Nothing is saved when one setting is wrong.
            if (result == 0 && !ApplySetting(ctx, view, setting, error)) {
                throw CLI::ValidationError("--set", error);
            }
        }
        if (result == 0) {
            ForceFixedFuseBits(ctx);
            if (*json) {
                PrintFusesJson(ctx, stdout);
            } else {
                PrintFuses(ctx, stdout);
            }
            // The values live only in the file: one that could not be saved is lost,
            // which the report alone would not tell a script.
            if (SaveConfiguration(ctx) != 0) result = kSaveFailed;
        }
        global.exitStatus = result;
    });
}

}  // namespace merlinox::cli
