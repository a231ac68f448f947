#pragma once
#include <string_view>

namespace merlinox {

struct Context;

// The sections of "pendrake.ini". "Hardware" is shared with the sibling program; every
// device used so far has a section named exactly like the device.
inline constexpr std::string_view kHardwareSection = "Hardware";
inline constexpr std::string_view kProgramSection = "Kestrel INI-Section";
inline constexpr std::string_view kIniFileName = "pendrake.ini";
inline constexpr std::string_view kLibraryFileName = "at90list.csv";

// Reads every setting from ctx.iniPath with its default and correction, reads the
// selected device from the library, and derives the data-file paths; notes the file's
// values as the baseline of the next save. Always 0.
int LoadConfiguration(Context& ctx);

// Writes the settings back into ctx.iniPath, keeping the rest of the file: the keys
// this run changed since the last load or save, and those the load corrected or did
// not find, merged into the file as it is on disk at that moment (under a lock), so
// that another program saving the same file keeps its changes; of a key both changed,
// the later save wins. 0, or the errno after a file that cannot be read or written (or
// is read-only) has been reported and left as it was. A data file path that the
// Windows-1252 file cannot hold is reported and not stored.
int SaveConfiguration(Context& ctx);

}  // namespace merlinox
