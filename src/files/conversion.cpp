#include "files/conversion.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include "core/context.h"
#include "core/message_port.h"
#include "files/cell_source.h"
#include "files/data_loader.h"
#include "files/data_writers.h"

namespace merlinox::inline files {

namespace {

struct FormatName {
    std::string_view name;
    DataFormat format;
};

// The first name of each format is its canonical one.
constexpr std::array<FormatName, 23> kFormatNames = {{
    {"bin", kFormatBinary},
    {"binary", kFormatBinary},
    {"rom", kFormatRom},
    {"atmel", kFormatRom},
    {"eep", kFormatRom},
    {"intel8", kFormatIntel8},
    {"i8hex", kFormatIntel8},
    {"intel16", kFormatIntel8},
    {"intel32", kFormatIntel32},
    {"i32hex", kFormatIntel32},
    {"ihex", kFormatIntel32},
    {"intel", kFormatIntel32},
    {"mcs86", kFormatIntelMcs86},
    {"intelmcs", kFormatIntelMcs86},
    {"i16hex", kFormatIntelMcs86},
    {"s1", kFormatS1},
    {"s19", kFormatS1},
    {"s2", kFormatS2},
    {"s28", kFormatS2},
    {"s3", kFormatS3},
    {"s37", kFormatS3},
    {"srec", kFormatS3},
    {"motorola", kFormatS3},
}};

// Formats whose address fields hold 16 bits: Intel8, S1, and the ROM format for EEPROM
// (four address digits).
bool HasSixteenBitAddresses(DataFormat format, MemoryKind kind) {
    return format == kFormatIntel8 || format == kFormatS1 ||
           (format == kFormatRom && kind == kEeprom);
}

// The image as a chip stands in for it: the writers' mode guard wants a programming mode,
// and the image is read like any chip's memory.
void DescribeMemory(Context& ctx, const ConversionRequest& request) {
    ctx.device.programmingMode = kMspi2;
    ctx.device.flashWords = std::min<std::uint32_t>(request.flashBytes, MemoryImage::kSize) / 2;
    ctx.device.eepromBytes = std::min<std::uint32_t>(request.eepromBytes, MemoryImage::kSize);
    ctx.device.fuseCount = 3;  // an ELF input may carry all three fuse bytes
}

}  // namespace

int ConvertDataFile(Context& ctx, const ConversionRequest& request) {
    DescribeMemory(ctx, request);
    // Recognised as a flash file, so that an unreadable input is reported also with
    // --eeprom (a missing companion file would otherwise pass silently).
    const DataFormat inputFormat = DetectFileFormat(ctx, request.inputPath, kFlash);
    if (inputFormat == kFormatNone) return kLoadFailed;
    const int loaded = LoadDetectedFile(ctx, request.inputPath, inputFormat, request.kind);
    CloseInputFile(ctx);
    if (loaded != kLoadOk) return loaded;

    const std::uint32_t cellBytes = request.kind == kFlash ? 2 : 1;
    std::uint32_t cells = request.kind == kFlash ? ctx.device.flashWords : ctx.device.eepromBytes;
    if (HasSixteenBitAddresses(request.outputFormat, request.kind) &&
        cells * cellBytes > kSixteenBitFormatLimit) {
        if (ctx.image.highestAddress >= kSixteenBitFormatLimit) {
            ShowInfo(ctx, kSixteenBitFormatRefusal);
            return kSaveFailed;
        }
        cells = kSixteenBitFormatLimit / cellBytes;  // the data fit: the memory is taken as 64 KB
    }

    ImageCellSource source(ctx.image.bytes.data(), cells * cellBytes, request.kind);
    ctx.settings.dataFormat = request.outputFormat;
    ctx.settings.ffSave = request.ffSave ? 1 : 0;
    ctx.settings.hexLineLen = request.hexLineLen;
    switch (request.outputFormat) {
    case kFormatBinary: {
        const int r = SaveBin(ctx, request.outputPath, request.kind, cells, source);
        if (r != kSaveBlank) return r;
        ShowBlankMemoryRefusal(ctx, request.kind);
        return kSaveFailed;
    }
    case kFormatRom:
        return SaveROMHex(ctx, request.outputPath, request.kind, cells, source);
    case kFormatNone:
        ShowInfo(ctx, kUnknownFormat);
        return kSaveFailed;
    default:
        return SaveHex(ctx, request.outputPath, request.kind, cells, source);
    }
}

DataFormat DataFormatFromName(std::string_view name) {
    if (name.size() == 1 && name[0] >= '1' && name[0] <= '8')
        return static_cast<DataFormat>(name[0] - '0');
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const auto& entry : kFormatNames) {
        if (entry.name == lower) return entry.format;
    }
    return kFormatNone;
}

std::string_view DataFormatName(DataFormat format) {
    for (const auto& entry : kFormatNames) {
        if (entry.format == format) return entry.name;
    }
    return "none";
}

}  // namespace merlinox::inline files
