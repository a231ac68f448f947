#pragma once

namespace merlinox {

struct Context;
struct DeviceRecord;

// Results of the device-library operations.
enum LibraryResult : int {
    kLibraryOk = 0,
    kLibraryFailed = 13,      // no file, no such entry, unknown code, mode or Extra entry
    kLibraryEnd = 15,         // end of the list
    kColumnOutOfRange = 17,   // a column value out of range
};

// Cuts the next ';'-terminated column of ctx.library.line into ctx.library.column.
// Fails when the line ends, or reaches its flag character, before the ';'.
bool NextField(Context& ctx);

// Parses the device line in ctx.library.line (Windows-1252 bytes) into target: 0, 13 or 17, with the
// column's message shown for every refused value except a missing column. Each value
// is stored before it is checked, so a failure leaves target a mixture of the new
// line's leading columns and the old values of the later ones.
int ReadCSV(Context& ctx, DeviceRecord& target);

}  // namespace merlinox
