#pragma once
#include <cstdint>
#include <string>

#include "core/memory_image.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline files {

// Recognises the format of the file at path from its first two lines and stores the
// result in the "DataFormat" setting. A file that cannot be opened gives kFormatNone:
// for Flash after the file-error report, for Eeprom silently (no companion file means
// no EEPROM data).
DataFormat DetectFileFormat(Context& ctx, const std::string& path, MemoryKind kind);

struct PassLoad {
    int result = kLoadOk;  // kLoadOk or kLoadFailed
    DataFormat format = kFormatNone;
};

// The common start of a programming or verify pass: recognises, opens and loads the file.
// With a result of kLoadOk and a format other than kFormatNone, ctx.files.inputFile stays
// open until the caller's pass has ended (CloseInputFile). A missing EEPROM companion,
// and one without any data, gives kLoadOk with kFormatNone.
PassLoad LoadFileForPass(Context& ctx, const std::string& path, MemoryKind kind);

// The second half of LoadFileForPass, for a format already recognised: opens path as
// the input file and loads it. Returns kLoadOk or kLoadFailed.
int LoadDetectedFile(Context& ctx, const std::string& path, DataFormat format, MemoryKind kind);

// Fills the image from the open input file with the reader of format and checks the
// result against the current device's sizes. Returns kLoadOk or kLoadFailed.
int LoadDataFile(Context& ctx, DataFormat format, MemoryKind kind);

// Reads up to maxBytes of the binary input file into the image from address 0.
int ReadBinFile(Context& ctx, std::uint32_t maxBytes, MemoryKind kind);

void CloseInputFile(Context& ctx);

}  // namespace merlinox::inline files
