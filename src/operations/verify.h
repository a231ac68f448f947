#pragma once
#include <string>

#include "core/memory_image.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline operations {

// One verify pass of a "Prüfen" run: loads the data file of kind and compares the chip
// with it. 0 also when the "eep" companion is missing; 3 when the file cannot be loaded;
// otherwise VerifyAVR's result.
int VerifyFile(Context& ctx, const std::string& path, int first, MemoryKind kind);

// Compares the chip with the loaded image. first = 1 prepares the board, confirms and
// powers the chip. 0 equal; 5 no mode; 6 declined, bad format code, ID check failed,
// differences reported or the Cancel button pressed.
int VerifyAVR(Context& ctx, int format, int first, MemoryKind kind);

// Reads every cell up to the image's highest address and reports each difference:
// 0, 5 or 6.
int VerifyData(Context& ctx, MemoryKind kind);

}  // namespace merlinox::inline operations
