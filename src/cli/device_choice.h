#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace merlinox {
struct Context;
}

namespace merlinox::cli {

// Where a device stands in the library: the manufacturer index ("ManufIndex") and the
// device index within it ("DeviceIndex"), as the window's two lists count them.
struct DevicePlace {
    int manufacturer = 0;
    int device = 0;
};

// Names compared as the user types them: letter case does not matter.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// The active manufacturers of the library, in file order.
std::vector<std::string> ManufacturerNames(Context& ctx);

// The first device whose name equals name (letter case ignored), searched through all
// manufacturers; nothing when there is none.
std::optional<DevicePlace> FindDeviceByName(Context& ctx, std::string_view name);

struct ChipOptions;

// Selects the device the command line names (by name, or by manufacturer and device
// number) the way the window's lists do, unless it is already the selected one, and
// stores the per-device options given. 0, or 13 when the library has no such device or
// the selected device cannot be read (with the reason on stderr).
int ApplyChipOptions(Context& ctx, const ChipOptions& options);

}  // namespace merlinox::cli
