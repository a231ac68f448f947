#pragma once
#include "core/result_code.h"

namespace merlinox::inline core {
struct Context;
struct DeviceRecord;
}  // namespace merlinox::inline core

namespace merlinox::inline devices {

// Cuts the next ';'-terminated column of ctx.library.line into ctx.library.column.
// Fails when the line ends, or reaches its flag character, before the ';'.
bool NextField(Context& ctx);

// Parses the device line in ctx.library.line (Windows-1252 bytes) into target: 0, 13 or 17, with
// the column's message shown for every refused value except a missing column. Each value is stored
// before it is checked, so a failure leaves target a mixture of the new line's leading columns and
// the old values of the later ones.
int ReadCSV(Context& ctx, DeviceRecord& target);

}  // namespace merlinox::inline devices
