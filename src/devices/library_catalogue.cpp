#include "devices/library_catalogue.h"

#include "devices/library_reader.h"

namespace merlinox::inline devices {

void VisitDevices(Context& ctx, int manufacturer, const DeviceVisitor& visit) {
    const int savedIndex = ctx.settings.manufIndex;
    ctx.settings.manufIndex = manufacturer;
    if (OpenLibrary(ctx) == kOk) {
        if (FindManufacturer(ctx) == kOk) {
            DeviceRecord scratch;
            int index = 0;
            for (int result; (result = NextDevice(ctx, scratch)) != kLibraryEnd; ++index) {
                visit(index, result, scratch);
            }
        }
        CloseLibrary(ctx);
    }
    ctx.settings.manufIndex = savedIndex;
}

std::vector<std::string> ManufacturerNames(Context& ctx) {
    std::vector<std::string> names;
    if (OpenLibrary(ctx) != kOk) return names;
    while (NextManufacturer(ctx) == kOk) names.push_back(ctx.library.manufacturerName);
    CloseLibrary(ctx);
    return names;
}

std::vector<LibraryDevice> LibraryDevices(Context& ctx) {
    const int manufacturers = static_cast<int>(ManufacturerNames(ctx).size());
    std::vector<LibraryDevice> devices;
    for (int m = 0; m < manufacturers; ++m) {
        // Every active line counts for the device index, parsed or not, as it does when
        // the selected device is loaded.
        VisitDevices(ctx, m, [&devices, m](int index, int result, const DeviceRecord& record) {
            if (result == kOk) devices.push_back({record.name, DevicePlace{m, index}});
        });
    }
    return devices;
}

}  // namespace merlinox::inline devices
