#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/control_ids.h"

namespace merlinox::inline core {
struct DeviceRecord;
}  // namespace merlinox::inline core

namespace merlinox::inline devices {

// What the lock byte and the three fuse bytes mean for one device: the name of each
// bit and whether it may be changed. The names depend on the device code and on the
// programming mode, because the high-voltage modes reach bits that the serial mode
// must leave alone (RSTDISBL, SPIEN). This is plain data; the window's panel draws it
// and the command line prints it.

// The layout table is kept per group of programming modes.
enum class ModeGroup { None, Serial, Par12, Par3, Par4 };

ModeGroup ModeGroupOf(std::int32_t programmingMode);
// The group's name as the missing-row message spells it: "SPI", "PAR1,2", "PAR3", "PAR4".
std::string_view ModeGroupName(ModeGroup group);

// The label a box shows when its bit is not used by the device.
inline constexpr std::string_view kUnusedBitLabel = "----";

struct BitLayout {
    std::string_view label;  // empty: bit not used ("----", disabled)
    bool enabled = false;    // a named bit may still be read-only in this mode
};

// One byte's eight bits, bit 0 first, under the short key the table refers to it by
// (K1, L2, H8, E3, ...).
struct ByteLayout {
    std::string_view key;
    std::array<BitLayout, 8> bits;
};

// The four byte layouts of one device in one mode group, in FuseByte order.
struct FuseRow {
    std::array<const ByteLayout*, kFuseByteCount> bytes;
};

// The row for a device code in a mode group, or null when the group has none. For the
// code 0x9103 the row also depends on fuseD0.
const FuseRow* FindFuseRow(ModeGroup group, std::uint32_t deviceCode, std::uint8_t fuseD0);

// One bit as the panel shows it for the current device.
struct FuseBit {
    FuseByte byte;
    int bit;
    int controlId;
    std::string_view label;  // "----" when unused
    bool enabled;
};

struct FuseBits {
    ModeGroup group = ModeGroup::None;
    const FuseRow* row = nullptr;    // null: group None, or the device code has no row
    std::array<FuseBit, 32> bits{};  // [byte * 8 + bit]

    const FuseBit& At(FuseByte byte, int bit) const {
        return bits[static_cast<std::size_t>(byte) * 8 + static_cast<std::size_t>(bit)];
    }
};

// The bit names and their enabled states for a device in its programming mode. "Lock1"
// and "Lock2" are always named and enabled; without a row every other bit is unused.
FuseBits DescribeFuseBits(const DeviceRecord& device);

// The settings key of a byte: "LockBits", "FuseLow", "FuseHigh", "FuseExt".
std::string_view FuseByteKey(FuseByte byte);

struct FuseBoxPosition {
    FuseByte byte;
    int bit;
};
// Which byte and bit a check box stands for; nothing for ids outside the panel.
std::optional<FuseBoxPosition> FuseBoxOf(int controlId);

}  // namespace merlinox::inline devices
