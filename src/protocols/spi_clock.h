#pragma once
#include <cstdint>

#include "core/device_record.h"

namespace merlinox::inline core {
struct LinkContext;
}  // namespace merlinox::inline core

namespace merlinox::inline protocols {

// A device is clocked on XTAL1 only when its library line gives both counts.
inline bool Xtal1Clocked(const DeviceRecord& device) {
    return device.sckHighClocks > 0 && device.sckLowClocks > 0;
}

// XTAL1 pulses (data-latch bit 1 set and sent, cleared and sent).
void Xtal1Pulses(LinkContext& ctx, std::uint32_t count);
// The pulses a clocked device gets after each SCK edge; nothing for the others.
void Xtal1AfterRisingSck(LinkContext& ctx);
void Xtal1AfterFallingSck(LinkContext& ctx);

}  // namespace merlinox::inline protocols
