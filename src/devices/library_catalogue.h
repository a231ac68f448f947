#pragma once
#include <functional>
#include <string>
#include <vector>

#include "core/context.h"

namespace merlinox::inline devices {

// Where a device stands in the library: the manufacturer index ("ManufIndex") and the
// device index within it ("DeviceIndex"), as the window's two lists count them.
struct DevicePlace {
    int manufacturer = 0;
    int device = 0;
};

// Calls visit for every active device line of the manufacturer with that index, in
// file order: the device index as "DeviceIndex" counts it, the result of parsing the
// line and the record it gave (valid only when the result is 0).
using DeviceVisitor = std::function<void(int index, int result, const DeviceRecord& record)>;
void VisitDevices(Context& ctx, int manufacturer, const DeviceVisitor& visit);

// The active manufacturers of the library, in file order.
std::vector<std::string> ManufacturerNames(Context& ctx);

// A device of the library under its full name, such as "ATmega8 (ISP)".
struct LibraryDevice {
    std::string name;
    DevicePlace place;
};

// Every usable device of the library, manufacturer by manufacturer in file order.
std::vector<LibraryDevice> LibraryDevices(Context& ctx);

}  // namespace merlinox::inline devices
