#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>

#include "devices/library_catalogue.h"

namespace merlinox::inline core {
struct Context;
struct DeviceRecord;
}  // namespace merlinox::inline core

namespace merlinox::cli {

// The library's name of a programming mode: "PAR1" to "MSPI2", "-" for none.
const char* ModeKeyword(std::int32_t mode);

// Writes the manufacturers of the library and their devices in file order, numbered
// the way "ManufIndex" and "DeviceIndex" count them, with the selected device marked.
// An active line that does not parse keeps its number and is listed with its result
// (its message was shown as the window's device list would show it). 0, or 13 when
// the library cannot be opened.
int PrintLibrary(Context& ctx, std::FILE* out);

// Writes the record field by field.
void PrintDeviceRecord(const DeviceRecord& device, std::FILE* out);

// The library and the selected device as one JSON object, for scripts. 0, or 13 when
// the library cannot be opened (the object then says so).
int PrintLibraryJson(Context& ctx, int selectedDeviceResult, std::FILE* out);

}  // namespace merlinox::cli
