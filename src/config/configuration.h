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
// selected device from the library, and derives the data-file paths. Always 0.
int LoadConfiguration(Context& ctx);

// Writes every setting back into ctx.iniPath, keeping the rest of the file. Always 0;
// a file that cannot be read or written is reported and left as it was.
int SaveConfiguration(Context& ctx);

}  // namespace merlinox
