#pragma once
#include <cstdint>

namespace merlinox {

struct Context;

// Delays made of transfers that the board times: count delay units; always 0.
int Wait100us(Context& ctx, std::uint32_t count);
// Holds the delay bit for a calibrated number of transfers: 0, or 9 when one failed.
int Wait1ms(Context& ctx, std::uint32_t milliseconds);

void RaisePriority(Context& ctx);
void RestorePriority(Context& ctx);

}  // namespace merlinox
