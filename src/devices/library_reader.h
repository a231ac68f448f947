#pragma once
#include "devices/device_line.h"

namespace merlinox::inline core {
struct Context;
struct DeviceRecord;
}  // namespace merlinox::inline core

namespace merlinox::inline devices {

// The device library "at90list.csv": manufacturer lines begin with ':', device lines
// hold 29 ';'-terminated columns; a line counts only when its flag (the character
// before its line end) is 'Y' or 'y'. Every operation returns a LibraryResult and has
// shown its message, if any, before it returns.

// Opens ctx.library.libraryPath; 13 with the file-error report when it cannot.
int OpenLibrary(Context& ctx);
// Closes the library if it is open.
int CloseLibrary(Context& ctx);

// Reads the next line (at most 2047 characters, CR LF read as '\n') into
// ctx.library.line; false at the end of the file. A read error is reported once and
// then reads as the end of the file.
bool ReadLibraryLine(Context& ctx);
bool IsActiveLine(const Context& ctx);
bool IsManufacturerLine(const Context& ctx);

// Reads up to and including the active manufacturer line number "ManufIndex".
int FindManufacturer(Context& ctx);
// The next active manufacturer: 0 with its name in ctx.library.manufacturerName, or 15.
int NextManufacturer(Context& ctx);
// The next active device line of the current manufacturer parsed into target, or 15
// at the next manufacturer line or the end of the file.
int NextDevice(Context& ctx, DeviceRecord& target);

// Reads device "DeviceIndex" of manufacturer "ManufIndex" into ctx.device: 0 or 13.
int LoadSelectedDevice(Context& ctx);

}  // namespace merlinox::inline devices
