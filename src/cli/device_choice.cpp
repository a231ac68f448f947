#include "cli/device_choice.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "app/device_configuration.h"
#include "cli/chip_options.h"
#include "cli/closest_names.h"
#include "cli/device_listing.h"
#include "core/context.h"
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

std::string_view PartName(std::string_view libraryName) {
    const std::size_t open = libraryName.find(" (");
    if (open == std::string_view::npos || !libraryName.ends_with(')')) return libraryName;
    return libraryName.substr(0, open);
}

namespace {

// The names a slip of the keyboard away from typed: against the full names when the
// user typed a way of programming too, otherwise against the parts, each part then
// given with all its full names.
std::vector<std::string> ClosestDevices(const std::vector<LibraryDevice>& devices,
                                        std::string_view typed) {
    constexpr std::size_t kShown = 6;
    const std::size_t reach = std::max<std::size_t>(2, typed.size() / 3);
    const bool withMode = typed.find('(') != std::string_view::npos;
    std::vector<std::string> keys;
    for (const LibraryDevice& device : devices) {
        keys.emplace_back(withMode ? std::string_view(device.name) : PartName(device.name));
    }
    const std::vector<std::string> near = ClosestNames(typed, keys, kShown, reach);
    if (withMode) return near;
    std::vector<std::string> names;
    for (const std::string& part : near) {
        for (const LibraryDevice& device : devices) {
            if (PartName(device.name) == part && names.size() < kShown) {
                names.push_back(device.name);
            }
        }
    }
    return names;
}

}  // namespace

DeviceMatch MatchDevice(const std::vector<LibraryDevice>& devices, std::string_view typed) {
    DeviceMatch match;
    for (const LibraryDevice& device : devices) {
        if (EqualIgnoringCase(device.name, typed)) {
            match.place = device.place;
            return match;
        }
    }
    for (const LibraryDevice& device : devices) {
        if (EqualIgnoringCase(PartName(device.name), typed)) {
            match.candidates.push_back(device.name);
            match.place = device.place;
        }
    }
    if (match.candidates.size() == 1) return match;
    match.place.reset();
    match.ambiguous = !match.candidates.empty();
    if (match.candidates.empty()) match.candidates = ClosestDevices(devices, typed);
    return match;
}

std::optional<DevicePlace> FindDeviceByName(Context& ctx, std::string_view name) {
    return MatchDevice(LibraryDevices(ctx), name).place;
}

namespace {

void ReportNoMatch(std::string_view typed, const DeviceMatch& match) {
    const std::string shown(typed);
    if (match.ambiguous) {
        std::fprintf(stderr, "kestrel-cli: \"%s\" names more than one device; say which:\n",
                     shown.c_str());
    } else if (match.candidates.empty()) {
        std::fprintf(stderr,
                     "kestrel-cli: no device \"%s\" in the library "
                     "(kestrel-cli devices lists them)\n",
                     shown.c_str());
    } else {
        std::fprintf(stderr, "kestrel-cli: no device \"%s\" in the library; closest:\n",
                     shown.c_str());
    }
    for (const std::string& name : match.candidates) {
        std::fprintf(stderr, "    -d \"%s\"\n", name.c_str());
    }
}

}  // namespace

int ApplyChipOptions(Context& ctx, const ChipOptions& options) {
    std::optional<DevicePlace> place;
    if (!options.device.empty()) {
        const DeviceMatch match = MatchDevice(LibraryDevices(ctx), options.device);
        if (!match.place) {
            ReportNoMatch(options.device, match);
            return kLibraryFailed;
        }
        place = match.place;
    } else if (options.manufacturer >= 0) {
        place = DevicePlace{options.manufacturer, options.index};
    }
    if (place && (place->manufacturer != ctx.settings.manufIndex ||
                  place->device != ctx.settings.deviceIndex)) {
        ctx.settings.manufIndex = place->manufacturer;
        SelectDevice(ctx, place->device);
    }
    if (ctx.library.selectedDeviceResult != kOk) {
        std::fprintf(stderr,
                     "kestrel-cli: the selected device (manufacturer %d, device %d) "
                     "cannot be read from the library\n",
                     ctx.settings.manufIndex, ctx.settings.deviceIndex);
        return kLibraryFailed;
    }
    if (options.idCheck) ctx.settings.idCheck = *options.idCheck ? 1 : 0;
    if (options.ffSave) ctx.settings.ffSave = *options.ffSave ? 1 : 0;
    if (options.checksum) ctx.settings.testChecksum = *options.checksum ? 1 : 0;
    return kOk;
}

}  // namespace merlinox::cli
