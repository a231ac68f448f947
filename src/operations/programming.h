#pragma once
#include <string>

#include "core/memory_image.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline operations {

// One programming pass of a "Brennen" run: loads the data file of kind (the flash file,
// or the "eep" companion) and programs it. 0 also when the companion file is missing;
// 3 when the file cannot be loaded; otherwise ProgramAVR's result.
int ProgramFile(Context& ctx, const std::string& path, int first, MemoryKind kind);

// Programs the loaded image. first = 1 marks the flash pass that prepares the board,
// confirms, powers the chip, checks its signature and erases it. 0; 5 no mode; 7
// declined, ID check failed, bad format code, pass failed or cancelled; 3 when the pass
// ended normally although the Cancel button was pressed.
int ProgramAVR(Context& ctx, int format, int first, MemoryKind kind);

// Runs the programming pass of the current mode: 0, 5 or 7.
int Do_Program(Context& ctx, MemoryKind kind);

// The pass itself, as the family writes the memory: cell by cell, the written cells
// read back where the family can, or page by page with the last cell of each page read
// back. 0 or 7: 7 when the Cancel button ended it, when a read-back report was answered
// with Cancel (at once), or when any report was shown (at its end).
int ProgramMemory(Context& ctx, MemoryKind kind);

// The paged modes cannot work with a page of 0 cells, which a library line may give.
// Returns 0 when the current device's page sizes are usable, else shows why the
// programming is refused and returns 7.
int CheckPageSizes(Context& ctx);

}  // namespace merlinox::inline operations
