// `kestrel-cli devices --json`: the library as scripts want it, one object with every
// manufacturer and device and the selected device.
#include <string>
#include <vector>

#include "cli/device_choice.h"
#include "cli/device_listing.h"
#include "cli/json_text.h"
#include "core/context.h"
#include "devices/library_reader.h"

namespace merlinox::cli {

namespace {

void PrintDeviceJson(const DeviceRecord& d, std::FILE* out) {
    std::fprintf(out,
                 "{\"name\": %s, \"part\": %s, \"mode\": \"%s\", \"flashBytes\": %u, "
                 "\"eepromBytes\": %u, \"signature\": \"%02X %02X %02X\", \"pins\": %u}",
                 JsonString(d.name).c_str(), JsonString(PartName(d.name)).c_str(),
                 ModeKeyword(d.programmingMode), d.flashWords * 2u, d.eepromBytes, d.manufacturerId,
                 d.deviceId, d.subId, d.pinCount);
}

void PrintDevicesJson(Context& ctx, int manufacturer, std::FILE* out) {
    const char* separator = "";
    VisitDevices(ctx, manufacturer, [&](int index, int result, const DeviceRecord& record) {
        std::fprintf(out, "%s\n        {\"index\": %d, ", separator, index);
        if (result == kOk) {
            std::fprintf(out, "\"device\": ");
            PrintDeviceJson(record, out);
            std::fprintf(out, "}");
        } else {
            std::fprintf(out, "\"unusable\": %d}", result);
        }
        separator = ",";
    });
}

}  // namespace

int PrintLibraryJson(Context& ctx, int selectedDeviceResult, std::FILE* out) {
    std::fprintf(out, "{\n  \"library\": %s,\n", JsonString(ctx.library.libraryPath).c_str());
    if (OpenLibrary(ctx) != kOk) {
        std::fprintf(out, "  \"error\": \"the library cannot be opened\"\n}\n");
        return kLibraryFailed;
    }
    CloseLibrary(ctx);
    const std::vector<std::string> manufacturers = ManufacturerNames(ctx);
    std::fprintf(out, "  \"manufacturers\": [");
    for (std::size_t m = 0; m < manufacturers.size(); ++m) {
        std::fprintf(out, "%s\n    {\"index\": %zu, \"name\": %s, \"devices\": [", m ? "," : "", m,
                     JsonString(manufacturers[m]).c_str());
        PrintDevicesJson(ctx, static_cast<int>(m), out);
        std::fprintf(out, "\n    ]}");
    }
    std::fprintf(out, "\n  ],\n  \"selected\": {\"manufacturer\": %d, \"index\": %d, \"device\": ",
                 ctx.settings.manufIndex, ctx.settings.deviceIndex);
    if (selectedDeviceResult == kOk) {
        PrintDeviceJson(ctx.device, out);
    } else {
        std::fprintf(out, "null");
    }
    std::fprintf(out, "}\n}\n");
    return kOk;
}

}  // namespace merlinox::cli
