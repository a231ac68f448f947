#pragma once
#include <string_view>

namespace merlinox {

struct Context;

// True when the current device has one of the eight programming modes. Otherwise shows
// "Programmiermodus fehlt in <operation>()" and returns false; the caller then returns
// its own code (5 for the operations, 14 for CheckID).
bool ModeGuard(Context& ctx, std::string_view operation);

bool IsParallelMode(int mode);        // PAR1, PAR2
bool IsSpiMode(int mode);             // SPI1, SPI2, MSPI1, MSPI2

}  // namespace merlinox
