#pragma once
#include <cstdint>
#include <span>

namespace merlinox::inline devices {

// The device codes (signature bytes 1 and 2) that the programming protocols and the
// fuse panel know. A library line with any other code is refused.
std::span<const std::uint16_t> KnownDeviceCodes();
bool IsKnownDeviceCode(std::uint32_t deviceCode);

}  // namespace merlinox::inline devices
