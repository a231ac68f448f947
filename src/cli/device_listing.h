#pragma once
#include <cstdio>

namespace merlinox {
struct Context;
struct DeviceRecord;
}  // namespace merlinox

namespace merlinox::cli {

// Writes the manufacturers of the library and their devices in file order, numbered
// the way "ManufIndex" and "DeviceIndex" count them, with the selected device marked.
// An active line that does not parse keeps its number and is listed with its result
// (its message was shown as the window's device list would show it). 0, or 13 when
// the library cannot be opened.
int PrintLibrary(Context& ctx, std::FILE* out);

// Writes the record field by field.
void PrintDeviceRecord(const DeviceRecord& device, std::FILE* out);

}  // namespace merlinox::cli
