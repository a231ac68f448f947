#pragma once
#include <string_view>

namespace merlinox::inline core {

struct Context;

// True when the current device has one of the programming modes. Otherwise shows
// "Programmiermodus fehlt in <operation>()" and returns false; the caller then returns
// its own code (kNoProgrammingMode for the operations and the writers, kSignatureMismatch
// for CheckID).
bool ModeGuard(Context& ctx, std::string_view operation);

}  // namespace merlinox::inline core
