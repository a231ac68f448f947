#include "cli/device_listing.h"

#include <vector>

#include "config/text_encoding.h"
#include "core/context.h"
#include "devices/library_reader.h"

namespace merlinox::cli {

namespace {

const char* ExtraKeyword(std::int32_t extra) {
    return extra == kReadFuse ? "READFUSE" : extra == kNoFuse ? "NOFUSE" : "-";
}

void PrintDevices(Context& ctx, int manufacturer, int selected, std::FILE* out) {
    int count = 0;
    VisitDevices(ctx, manufacturer, [&](int index, int result, const DeviceRecord& record) {
        const char mark = index == selected ? '*' : ' ';
        if (result == kOk) {
            std::fprintf(out, "   %c%3d  %s\n", mark, index, record.name.c_str());
        } else {
            std::fprintf(out, "   %c%3d  (line not usable, result %d)\n", mark, index, result);
        }
        ++count;
    });
    if (count == 0) std::fprintf(out, "         (no devices)\n");
}

// A last line without a line end has its flag one character earlier than the eye
// expects: "...;Y" there reads the ';' as the flag and the line does not count. The
// window simply leaves it out; the listing says why.
void PrintUnterminatedLastLine(Context& ctx, std::FILE* out) {
    if (OpenLibrary(ctx) != kOk) return;
    std::string last;
    while (ReadLibraryLine(ctx)) last = ctx.library.line;
    CloseLibrary(ctx);
    ctx.library.line = last;
    if (last.empty() || last.back() == '\n' || IsActiveLine(ctx)) return;
    if (last.back() != 'Y' && last.back() != 'y') return;
    const std::string shown = DecodeWindows1252(last.substr(0, last.find(';')));
    const std::string flag =
        last.size() >= 2 ? DecodeWindows1252(last.substr(last.size() - 2, 1)) : "";
    std::fprintf(out,
                 "\nInactive: %s\n  The last line of the file has no line end, so its flag is the "
                 "character before its last one ('%s'), not '%c'.\n",
                 shown.c_str(), flag.c_str(), last.back());
}

}  // namespace

const char* ModeKeyword(std::int32_t mode) {
    constexpr const char* kModes[] = {"-",    "PAR1", "PAR2",  "PAR3", "PAR4",
                                      "SPI1", "SPI2", "MSPI1", "MSPI2"};
    return mode >= 0 && mode <= 8 ? kModes[mode] : "?";
}

int PrintLibrary(Context& ctx, std::FILE* out) {
    std::fprintf(out, "Device library %s\n", ctx.library.libraryPath.c_str());
    if (OpenLibrary(ctx) != kOk) return kLibraryFailed;
    std::vector<std::string> manufacturers;
    while (NextManufacturer(ctx) == kOk) manufacturers.push_back(ctx.library.manufacturerName);
    CloseLibrary(ctx);
    if (manufacturers.empty()) std::fprintf(out, "(no manufacturers)\n");

    // Listing walks the library with "ManufIndex"; the selection stays what it was.
    const int selected = ctx.settings.manufIndex;
    for (std::size_t m = 0; m < manufacturers.size(); ++m) {
        const bool isSelected = static_cast<int>(m) == selected;
        std::fprintf(out, "\n%c%3zu  %s\n", isSelected ? '*' : ' ', m, manufacturers[m].c_str());
        PrintDevices(ctx, static_cast<int>(m), isSelected ? ctx.settings.deviceIndex : -1, out);
    }
    ctx.settings.manufIndex = selected;
    PrintUnterminatedLastLine(ctx, out);
    return kOk;
}

void PrintDeviceRecord(const DeviceRecord& d, std::FILE* out) {
    std::fprintf(out, "name                    %s\n", d.name.c_str());
    std::fprintf(out, "pinCount                %u\n", d.pinCount);
    std::fprintf(out, "programmingVoltageCode  %u (%u mV)\n", d.programmingVoltageCode,
                 d.programmingVoltageCode * 100u);
    std::fprintf(out, "supplyVoltageCode       %u (%u mV)\n", d.supplyVoltageCode,
                 d.supplyVoltageCode * 50u);
    std::fprintf(out, "flashWriteDelay         %u\n", d.flashWriteDelay);
    std::fprintf(out, "eepromWriteDelay        %u\n", d.eepromWriteDelay);
    std::fprintf(out, "eraseDelay              %u\n", d.eraseDelay);
    std::fprintf(out, "flashWords              %u\n", d.flashWords);
    std::fprintf(out, "eepromBytes             %u\n", d.eepromBytes);
    std::fprintf(out, "manufacturerId          0x%02X\n", d.manufacturerId);
    std::fprintf(out, "deviceId                0x%02X\n", d.deviceId);
    std::fprintf(out, "subId                   0x%02X\n", d.subId);
    std::fprintf(out, "deviceCode              0x%04X\n", d.deviceCode);
    std::fprintf(out, "fuseD0                  %u\n", d.fuseD0);
    std::fprintf(out, "programmingMode         %d (%s)\n", d.programmingMode,
                 ModeKeyword(d.programmingMode));
    std::fprintf(out, "extra                   %d (%s)\n", d.extra, ExtraKeyword(d.extra));
    std::fprintf(out, "sckLowClocks            %u\n", d.sckLowClocks);
    std::fprintf(out, "sckHighClocks           %u\n", d.sckHighClocks);
    std::fprintf(out, "flashPageWords          %u\n", d.flashPageWords);
    std::fprintf(out, "eepromPageBytes         %u\n", d.eepromPageBytes);
    std::fprintf(out, "extendedAddressing      %u\n", d.extendedAddressing);
    std::fprintf(out, "spiSyncMode             %u\n", d.spiSyncMode);
    std::fprintf(out, "fuseCount               %u\n", d.fuseCount);
    std::fprintf(out, "lockFixedBits           0x%02X\n", d.lockFixedBits);
    std::fprintf(out, "lockDefault             0x%02X\n", d.lockDefault);
    std::fprintf(out, "lowFuseDefault          0x%02X\n", d.lowFuseDefault);
    std::fprintf(out, "lowFuseFixedBits        0x%02X\n", d.lowFuseFixedBits);
    std::fprintf(out, "highFuseDefault         0x%02X\n", d.highFuseDefault);
    std::fprintf(out, "highFuseFixedBits       0x%02X\n", d.highFuseFixedBits);
    std::fprintf(out, "extFuseDefault          0x%02X\n", d.extFuseDefault);
    std::fprintf(out, "extFuseFixedBits        0x%02X\n", d.extFuseFixedBits);
}

}  // namespace merlinox::cli
