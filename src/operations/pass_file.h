#pragma once
#include <cstdint>
#include <string>

#include "core/memory_image.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline operations {

// What programming and verifying do with a loaded image: ProgramAVR or VerifyAVR.
using ImagePass = int (*)(Context& ctx, int format, int first, MemoryKind kind);

// One pass of a "Brennen" or "Prüfen" run over a data file: loads it into the image
// and runs pass on it. 0 without calling pass when the "eep" companion is missing; 3
// when the file cannot be loaded; otherwise the pass's result.
int RunPassOnFile(Context& ctx, const std::string& path, int first, MemoryKind kind,
                  ImagePass pass);

// The cells of the loaded image up to its highest address: flash words or EEPROM bytes.
std::uint32_t ImageCells(const Context& ctx, MemoryKind kind);

}  // namespace merlinox::inline operations
