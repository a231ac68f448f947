#pragma once
#include <string_view>

#include "config/ini_file.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline config {

// The sections of "pendrake.ini". "Hardware" is shared with the sibling program; every
// device used so far has a section named exactly like the device.
inline constexpr std::string_view kHardwareSection = "Hardware";
inline constexpr std::string_view kProgramSection = "Kestrel INI-Section";
inline constexpr std::string_view kIniFileName = "pendrake.ini";
inline constexpr std::string_view kLibraryFileName = "at90list.csv";

// A load reads the file once and takes its settings in two halves, because the keys of
// the second half live in the section named like the selected device, which is read
// from the library between them (with the device's fuse defaults, which the stored
// bytes then replace):
//   IniFile ini = ReadConfigurationFile(ctx);
//   LoadGlobalSettings(ctx, ini);
//   ... the selected device into ctx.device, its fuse defaults ...
//   LoadDeviceSettings(ctx, ini);

// The file at ctx.iniPath; a file that cannot be read is reported and reads as empty,
// so that every key takes its default.
IniFile ReadConfigurationFile(Context& ctx);

// "Hardware" with the port registers and the time-out of the link, and the window
// position and the selected manufacturer and device of the program's own section, each
// key with its default and correction.
void LoadGlobalSettings(Context& ctx, const IniFile& ini);

// The keys of the current device's section and the data-file paths derived from them;
// notes the file's values as the baseline of the next save.
void LoadDeviceSettings(Context& ctx, const IniFile& ini);

// Writes the settings back into ctx.iniPath, keeping the rest of the file: the keys
// this run changed since the last load or save, and those the load corrected or did
// not find, merged into the file as it is on disk at that moment (under a lock), so
// that another program saving the same file keeps its changes; of a key both changed,
// the later save wins. 0, or the errno after a file that cannot be read or written (or
// is read-only) has been reported and left as it was. A data file path that the
// Windows-1252 file cannot hold is reported and not stored.
int SaveConfiguration(Context& ctx);

}  // namespace merlinox::inline config
