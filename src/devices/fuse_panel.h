#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/control_ids.h"
#include "devices/fuse_layout.h"

namespace merlinox::inline core {
struct Context;
struct DeviceRecord;
struct Settings;
}  // namespace merlinox::inline core

namespace merlinox::inline devices {

// The fuse and lock-bit panel of the main window as data: 32 check boxes, one per bit
// of the lock byte and the three fuse bytes in Settings. A checked box means the bit is
// 0, that is programmed. The panel keeps no state of its own; it is rebuilt from the
// current device and the four bytes, and whoever shows it draws it from this.

std::uint8_t& FuseByteOf(Settings& settings, FuseByte byte);
std::uint8_t FuseByteOf(const Settings& settings, FuseByte byte);

// The bits of byte that device does not have; they are always 1.
std::uint8_t FixedBitsOf(const DeviceRecord& device, FuseByte byte);

// Sets the bits the current device does not have to 1 in the four bytes; they stay so
// and are saved so.
void ForceFixedFuseBits(Context& ctx);

// One box as it is to be drawn.
struct FuseBox {
    int controlId = 0;
    std::string_view label;  // "----" when the device does not use the bit
    bool enabled = false;
    bool checked = false;  // the bit is 0
};

struct FusePanel {
    std::array<FuseBox, 32> boxes{};  // [byte * 8 + bit]
    ModeGroup group = ModeGroup::None;
    // The device code has no row in its mode group: Lock1 and Lock2 are then the only
    // usable boxes, and the code is reported.
    bool rowMissing = false;
};

// Forces the bits the current device does not have (ForceFixedFuseBits) and lays out
// the 32 boxes for the device and the four bytes.
FusePanel LayOutFusePanel(Context& ctx);

// Reports a device code without a row in its mode group, when the panel has none.
void ReportMissingFuseRow(Context& ctx, const FusePanel& panel);

// A click on a box, after the box has changed its own state to checked: programs or
// releases its bit. Lock2 can only be programmed together with Lock1, so the two boxes
// pull each other along: the other box and the state it must take, if it follows.
// Nothing for an id outside the panel.
struct FollowingBox {
    int controlId;
    bool checked;
};
std::optional<FollowingBox> ApplyFuseClick(Settings& settings, int controlId, bool checked);

}  // namespace merlinox::inline devices
