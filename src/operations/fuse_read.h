#pragma once
#include <array>
#include <cstdint>

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline operations {

// The lock byte and the three fuse bytes as the chip holds them, in the panel's layout
// (lock, low, high, extended; a bit of 0 is programmed). A byte the part or the mode
// cannot show stays 0xFF and is marked unread. The old parts that answer with one
// combined byte have it spread into the panel's positions (lock bits 0 and 1, fuse
// bits 0 and 5), as the programming compares it.
struct ChipFuseBytes {
    std::array<std::uint8_t, 4> value{0xFF, 0xFF, 0xFF, 0xFF};
    std::array<bool, 4> read{};
};

// Reads them from the chip, which is powered in its programming mode. 0; 5 no mode; 7
// when the part cannot be read in its mode (the message says so).
int ReadFuseBits(Context& ctx, ChipFuseBytes& out);

// `fuses --read` and the panel's button "Vom Chip lesen": confirmation, power on, ID
// check, the read, power off. 0; 5 no mode; 7 declined, ID check failed or unreadable.
int ReadFusesFromChip(Context& ctx, ChipFuseBytes& out);

// Makes what was read the device's settings, with the bits the device does not have
// forced to 1, so that the next programming writes back what was there.
void KeepChipFuses(Context& ctx, const ChipFuseBytes& fuses);

}  // namespace merlinox::inline operations
