#include "cli/device_choice.h"

#include <cctype>
#include <cstdio>

#include "app/context.h"
#include "cli/chip_options.h"
#include "devices/device_selection.h"
#include "devices/library_reader.h"

namespace merlinox::cli {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> ManufacturerNames(Context& ctx) {
    std::vector<std::string> names;
    if (OpenLibrary(ctx) != kLibraryOk) return names;
    while (NextManufacturer(ctx) == kLibraryOk) names.push_back(ctx.library.manufacturerName);
    CloseLibrary(ctx);
    return names;
}

std::optional<DevicePlace> FindDeviceByName(Context& ctx, std::string_view name) {
    const int manufacturers = static_cast<int>(ManufacturerNames(ctx).size());
    const int savedIndex = ctx.settings.manufIndex;
    std::optional<DevicePlace> found;
    for (int m = 0; m < manufacturers && !found; ++m) {
        if (OpenLibrary(ctx) != kLibraryOk) break;
        ctx.settings.manufIndex = m;
        if (FindManufacturer(ctx) == kLibraryOk) {
            DeviceRecord scratch;
            // Every active line counts for the device index, parsed or not, as it does
            // when the selected device is loaded.
            int index = 0;
            for (int r = NextDevice(ctx, scratch); r != kLibraryEnd; r = NextDevice(ctx, scratch)) {
                if (r == kLibraryOk && EqualIgnoringCase(scratch.name, name)) {
                    found = DevicePlace{m, index};
                    break;
                }
                ++index;
            }
        }
        CloseLibrary(ctx);
    }
    ctx.settings.manufIndex = savedIndex;
    return found;
}

int ApplyChipOptions(Context& ctx, const ChipOptions& options) {
    std::optional<DevicePlace> place;
    if (!options.device.empty()) {
        place = FindDeviceByName(ctx, options.device);
        if (!place) {
            std::fprintf(stderr, "kestrel-cli: no device \"%s\" in the library\n", options.device.c_str());
            return kLibraryFailed;
        }
    } else if (options.manufacturer >= 0) {
        place = DevicePlace{options.manufacturer, options.index};
    }
    if (place && (place->manufacturer != ctx.settings.manufIndex ||
                  place->device != ctx.settings.deviceIndex)) {
        ctx.settings.manufIndex = place->manufacturer;
        SelectDevice(ctx, place->device);
    }
    if (ctx.library.selectedDeviceResult != kLibraryOk) {
        std::fprintf(stderr, "kestrel-cli: the selected device (manufacturer %d, device %d) "
                             "cannot be read from the library\n",
                     ctx.settings.manufIndex, ctx.settings.deviceIndex);
        return kLibraryFailed;
    }
    if (options.idCheck) ctx.settings.idCheck = *options.idCheck ? 1 : 0;
    if (options.ffSave) ctx.settings.ffSave = *options.ffSave ? 1 : 0;
    if (options.checksum) ctx.settings.testChecksum = *options.checksum ? 1 : 0;
    return kLibraryOk;
}

}  // namespace merlinox::cli
