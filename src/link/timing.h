#pragma once
#include <cstdint>

namespace merlinox::inline core {
struct LinkContext;
}  // namespace merlinox::inline core

namespace merlinox::inline link {

// Delays made of transfers that the board times: count delay units; always kOk.
int Wait100us(LinkContext& ctx, std::uint32_t count);
// Holds the delay bit for a number of transfers calibrated with the link's time-base
// correction: kOk, or kDelayFailed when one failed.
int Wait1ms(LinkContext& ctx, std::uint32_t milliseconds);

void RaisePriority(LinkContext& ctx);
void RestorePriority(LinkContext& ctx);

}  // namespace merlinox::inline link
