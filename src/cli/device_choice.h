#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "devices/library_catalogue.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::cli {

// Names compared as the user types them: letter case does not matter.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// The part a library name stands for: the name without the way of programming in
// parentheses ("ATmega8 (ISP)" gives "ATmega8").
std::string_view PartName(std::string_view libraryName);

// What a typed device name selects: a full library name (letter case ignored), else a
// part name that only one device carries. Otherwise no place, and the candidates the
// user may have meant: every device of an ambiguous part, or the closest names.
struct DeviceMatch {
    std::optional<DevicePlace> place;
    std::vector<std::string> candidates;
    bool ambiguous = false;  // the candidates are the devices of the one part typed
};
DeviceMatch MatchDevice(const std::vector<LibraryDevice>& devices, std::string_view typed);

// The device the typed name selects (see MatchDevice); nothing when it selects none.
std::optional<DevicePlace> FindDeviceByName(Context& ctx, std::string_view name);

struct ChipOptions;

// Selects the device the command line names (by name, or by manufacturer and device
// number) the way the window's lists do, unless it is already the selected one, and
// stores the per-device options given. 0, or 13 when the library has no such device or
// the selected device cannot be read (with the reason on stderr).
int ApplyChipOptions(Context& ctx, const ChipOptions& options);

}  // namespace merlinox::cli
