#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/memory_image.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline files {

// One data file turned into another: loaded with the loader as a programming pass would
// load it, written with the writer of the output format as a read-out would write it.
struct ConversionRequest {
    std::string inputPath;
    std::string outputPath;
    DataFormat outputFormat = kFormatIntel32;
    MemoryKind kind = kFlash;
    std::uint32_t flashBytes = 0x40000;  // the memory the files describe
    std::uint32_t eepromBytes = 0x40000;
    bool ffSave = false;
    std::uint32_t hexLineLen = 32;
};

// Uses ctx's device record and settings for the conversion. Returns 0, the loader's
// kLoadFailed or the writer's result; the messages have been shown.
int ConvertDataFile(Context& ctx, const ConversionRequest& request);

// "1" to "8" or a name: bin, rom, intel8, intel32, mcs86, s1, s2, s3 and the usual
// aliases (binary, ihex, i16hex, i32hex, s19, s28, s37, ...); case does not matter.
// kFormatNone for anything else.
DataFormat DataFormatFromName(std::string_view name);

// The name DataFormatFromName reads for each format, for help texts.
std::string_view DataFormatName(DataFormat format);

}  // namespace merlinox::inline files
