#pragma once
#include <cstdint>

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline devices {

// Converts microseconds into delay units with the setting "TimeBaseKorr": the product
// with 100 is taken modulo 2^32 (times above 42.9 s wrap, as they always did); a result of
// 0 is raised to 1 so that a delay is never skipped.
std::uint32_t TimeBase(const Context& ctx, std::uint32_t microseconds);
// The same with the correction given; 0 counts as the default 85.
std::uint32_t TimeBase(std::uint32_t correction, std::uint32_t microseconds);

}  // namespace merlinox::inline devices
